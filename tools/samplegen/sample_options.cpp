#include "tools/samplegen/sample_options.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// A whole decimal number in [0, max]; FALSE for anything else.
BOOL ParseNumber(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return FALSE;
    errno = 0;
    value = std::strtoul(text.c_str(), NULL, 10);
    return errno == 0 && value <= max;
}

// "GROUP:KEY", both 16-bit numbers.
BOOL ParseRecordName(const std::string& text, std::pair<int, int>& record)
{
    const size_t colon = text.find(':');
    unsigned long group = 0;
    unsigned long key = 0;
    if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 0xFFFF, group) ||
        !ParseNumber(text.substr(colon + 1), 0xFFFF, key))
        return FALSE;
    record = {static_cast<int>(group), static_cast<int>(key)};
    return TRUE;
}

}  // namespace

BOOL ParseSampleCommand(const std::vector<std::string>& arguments, CSampleCommand& command, CString& error)
{
    CSampleOptions& options = command.m_options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--no-trailer") {
            options.m_bNoTrailer = TRUE;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (!command.m_strOutput.IsEmpty()) {
                error = CString("more than one output file: ") + argument.c_str();
                return FALSE;
            }
            command.m_strOutput = argument.c_str();
            continue;
        }
        if (i + 1 == arguments.size()) {
            error = CString(argument.c_str()) + " needs a value";
            return FALSE;
        }
        const std::string& value = arguments[++i];
        unsigned long number = 0;
        std::pair<int, int> record;
        if (argument == "--engine") {
            command.m_strEngine = value.c_str();
        } else if (argument == "--omit" && ParseRecordName(value, record)) {
            options.m_omit.push_back(record);
        } else if (argument == "--settings-size" && ParseNumber(value, 0xFFFFFF, number)) {
            options.m_nSettingsSize = static_cast<DWORD>(number);
        } else if (argument == "--pages" && ParseNumber(value, 0xFFFF, number)) {
            options.m_nPages = static_cast<int>(number);
        } else if (argument == "--page-size" && ParseNumber(value, 0x7FFFFFF, number)) {
            options.m_nPageSize = static_cast<DWORD>(number);
        } else {
            error = CString("bad option or value: ") + argument.c_str() + " " + value.c_str();
            return FALSE;
        }
    }
    if (command.m_strOutput.IsEmpty()) {
        error = "no output file named";
        return FALSE;
    }
    return TRUE;
}

CString SampleUsage(const char* program)
{
    return CString("usage: ") + program +
           " [options] OUTPUT.exe\n"
           "Writes an e-book in the old format: the old viewer engine and a full record catalogue.\n"
           "  --engine PATH         use the engine image in PATH instead of the built-in old engine\n"
           "  --omit GROUP:KEY      leave record (GROUP, KEY) out; may be repeated (--omit 350:5)\n"
           "  --settings-size N     make the settings record (350, 3) N bytes long (default 80)\n"
           "  --pages N             list N pages in the index (default 6)\n"
           "  --page-size BYTES     make every page BYTES long (default: each page's own text)\n"
           "  --no-trailer          write the bare engine, with no record tree behind it\n";
}
