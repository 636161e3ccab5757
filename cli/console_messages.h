// The command line's message box: each message the dialog would show is printed as a
// block of its own, information on standard output, warnings and errors on standard error.
#pragma once

#include "platform/message_box.h"

#include <cstdio>

class CConsoleMessages {
public:
    CConsoleMessages(std::FILE* out, std::FILE* err);
    ~CConsoleMessages();
    CConsoleMessages(const CConsoleMessages&) = delete;
    CConsoleMessages& operator=(const CConsoleMessages&) = delete;

private:
    int Show(LPCTSTR text, UINT flags);

    std::FILE* m_out;
    std::FILE* m_err;
    MessageBoxSink m_previous;
};
