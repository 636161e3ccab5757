// make_sample_book: writes an e-book in the old format for tests and for the bundled
// sample. See SampleUsage for the options.
#include "platform/exceptions.h"
#include "platform/file.h"
#include "tools/samplegen/sample_options.h"

#include <cstdio>
#include <string>
#include <vector>

extern const unsigned char kSampleEngine[];
extern const unsigned long kSampleEngineSize;

namespace {

std::vector<BYTE> ReadWholeFile(LPCTSTR path)
{
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    std::vector<BYTE> bytes(file.GetLength());
    if (file.Read(bytes.data(), static_cast<UINT>(bytes.size())) != bytes.size())
        AfxThrowFileException(CFileException::endOfFile, -1, path);
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    CSampleCommand command;
    CString error;
    if (!ParseSampleCommand(std::vector<std::string>(argv + 1, argv + argc), command, error)) {
        std::fprintf(stderr, "%s: %s\n%s", argv[0], error.GetString(), SampleUsage(argv[0]).GetString());
        return 2;
    }
    try {
        std::vector<BYTE> engine(kSampleEngine, kSampleEngine + kSampleEngineSize);
        if (!command.m_strEngine.IsEmpty())
            engine = ReadWholeFile(command.m_strEngine);
        WriteSampleBook(command.m_strOutput, engine.data(), static_cast<DWORD>(engine.size()), command.m_options);
    } catch (CException& e) {
        error = e.GetErrorMessageText(512);
    }
    if (!error.IsEmpty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.GetString());
        return 1;
    }
    return 0;
}
