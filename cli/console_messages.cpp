#include "cli/console_messages.h"

CConsoleMessages::CConsoleMessages(std::FILE* out, std::FILE* err)
    : m_out(out), m_err(err), m_previous(SetMessageBoxSink([this](LPCTSTR text, UINT flags) { return Show(text, flags); }))
{
}

CConsoleMessages::~CConsoleMessages() { SetMessageBoxSink(m_previous); }

int CConsoleMessages::Show(LPCTSTR text, UINT flags)
{
    // The icon bits (0xF0) tell what a box is: only the information icon goes to standard
    // output. A blank line closes each block.
    std::FILE* stream = (flags & 0xF0u) == MB_ICONINFORMATION ? m_out : m_err;
    std::fprintf(stream, "%s\n\n", text);
    std::fflush(stream);
    return IDOK;
}
