// tomeshift-cli: the dialog's upgrade without the dialog, and a look inside a book first.
//   tomeshift-cli patch BOOK...          upgrade each book as "&Patch E-Book" does
//   tomeshift-cli inspect FILE [--json]  what the file holds and what an upgrade would do
#include "cli/book_report.h"
#include "cli/console_messages.h"
#include "cli/report_output.h"
#include "patch/patch_operation.h"
#include "platform/escaped_exception.h"
#include "platform/exceptions.h"
#include "platform/file.h"
#include "res/template_bytes.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr char kVersion[] = "tomeshift-cli 1.0.0.2";
constexpr char kUsage[] =
    "usage: tomeshift-cli patch BOOK...\n"
    "       tomeshift-cli inspect FILE [--json]\n"
    "       tomeshift-cli --help | --version\n"
    "\n"
    "patch    upgrades each e-book to the template engine that Tomeshift carries, as the\n"
    "         \"&Patch E-Book\" button does: the old book is kept as BOOK.bak. Information is\n"
    "         printed on standard output, warnings and errors on standard error. Exit status:\n"
    "         0 when every book was patched, 1 when any was not.\n"
    "inspect  shows the file's container, its record tree, whether an upgrade would accept\n"
    "         it and what it would drop, and its program icons. --json prints the same as one\n"
    "         JSON document. Exit status: 0 for an e-book an upgrade accepts, 1 otherwise.\n"
    "\n"
    "Exit status 2: a usage error, or a file that cannot be read.\n";

constexpr int kUsageError = 2;

TemplateImage CarriedTemplate()
{
    return {kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize)};
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tomeshift-cli: %s (see tomeshift-cli --help)\n", message.c_str());
    return kUsageError;
}

int Patch(const std::vector<std::string>& books)
{
    CConsoleMessages messages(stdout, stderr);
    CContentCopier copier;
    int status = 0;
    for (const std::string& book : books) {
        if (books.size() > 1)
            std::printf("== %s\n", book.c_str());
        BOOL patched = FALSE;
        try {
            patched = CPatchOperation(copier, CarriedTemplate()).Run(book.c_str());
        } catch (...) {
            ReportEscapedException();  // as the dialog's message dispatch would
        }
        if (!patched)
            status = 1;
    }
    return status;
}

// The carried template written to a temporary file, so its icon slots can be read as a
// patch reads them; removed again on the way out.
class CTemplateFile {
public:
    CTemplateFile()
        : m_path((std::filesystem::temp_directory_path() /
                  ("tomeshift-template-" + std::to_string(std::random_device{}()) + ".exe"))
                     .string())
    {
        const TemplateImage engine = CarriedTemplate();
        CFile file(m_path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(engine.m_pData, engine.m_nSize);
        file.Close();
    }
    ~CTemplateFile() { RemoveFile(m_path.c_str()); }
    CTemplateFile(const CTemplateFile&) = delete;
    CTemplateFile& operator=(const CTemplateFile&) = delete;

    CString Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

int Inspect(const std::string& path, bool json)
{
    CString failure;
    try {
        CTemplateFile engine;
        const CBookReport report = InspectBook(path.c_str(), engine.Path());
        const std::string text = json ? FormatReportJson(report) : FormatReportText(report);
        std::fputs(text.c_str(), stdout);
        return report.IsEBook() && report.m_icons.TemplateTakesIcons() ? 0 : 1;
    } catch (CException& e) {
        failure = e.GetErrorMessageText(512);
    }
    std::fprintf(stderr, "tomeshift-cli: %s\n", failure.GetString());
    return kUsageError;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return UsageError("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("%s\n", kVersion);
        return 0;
    }

    std::vector<std::string> files;
    bool json = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json" && command == "inspect")
            json = true;
        else if (args[i].size() > 1 && args[i][0] == '-' && args[i] != "--")
            return UsageError("unknown option " + args[i]);
        else if (args[i] != "--")
            files.push_back(args[i]);
    }
    if (command == "patch") {
        if (files.empty())
            return UsageError("patch needs at least one book");
        for (const std::string& file : files)
            if (!std::filesystem::is_regular_file(file))
                return UsageError("no such file: " + file);
        return Patch(files);
    }
    if (command == "inspect") {
        if (files.size() != 1)
            return UsageError("inspect takes exactly one file");
        return Inspect(files[0], json);
    }
    return UsageError("unknown command " + command);
}
