#include "platform/escaped_exception.h"
#include "platform/exceptions.h"
#include "tests/support/message_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

struct EscapeCase {
    const char* what;
    std::function<void()> raise;
    CapturedMessage expected;
};

TEST(EscapedException, IsReportedByItsKind)
{
    const std::string longName(600, 'n');
    const EscapeCase cases[] = {
        {"archive error", [] { throw CArchiveException(CArchiveException::badIndex, "C:\\b.exe"); },
         {"C:\\b.exe has a bad format.", MB_ICONERROR}},
        {"file error", [] { throw CFileException(CFileException::diskFull, 112, "C:\\b_new.exe"); },
         {"Disk full while accessing C:\\b_new.exe.", MB_ICONERROR}},
        {"long text cut to 511", [&] { throw CFileException(CFileException::fileNotFound, 2, longName.c_str()); },
         {longName.substr(0, 511), MB_ICONERROR}},
        {"exhausted memory", [] { throw CMemoryException(); }, {"Out of memory.", 0x1030}},
        {"standard allocation failure", [] { throw std::bad_alloc(); }, {"Out of memory.", 0x1030}},
        {"exception without text", [] { throw CException(); }, {"Internal application error.", MB_ICONERROR}},
        {"foreign exception", [] { throw std::runtime_error("x"); }, {"Internal application error.", MB_ICONERROR}},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture messages;
        try {
            c.raise();
        } catch (...) {
            ReportEscapedException();
        }
        EXPECT_EQ(messages.Messages(), std::vector<CapturedMessage>{c.expected});
    }
}

}  // namespace
