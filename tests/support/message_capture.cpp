#include "tests/support/message_capture.h"

#include <ostream>

MessageCapture::MessageCapture()
{
    m_previous = SetMessageBoxSink([this](LPCTSTR text, UINT flags) {
        m_messages.push_back({text, flags});
        return IDOK;
    });
}

MessageCapture::~MessageCapture() { SetMessageBoxSink(m_previous); }

void PrintTo(const CapturedMessage& message, std::ostream* os)
{
    *os << "{\"" << message.text << "\", 0x" << std::hex << message.flags << std::dec << "}";
}
