// Captures every AfxMessageBox while it lives, so a test can check the exact messages.
#pragma once

#include "platform/message_box.h"

#include <string>
#include <vector>

struct CapturedMessage {
    std::string text;
    UINT flags;
    bool operator==(const CapturedMessage& other) const { return text == other.text && flags == other.flags; }
};

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<CapturedMessage>& Messages() const { return m_messages; }

private:
    std::vector<CapturedMessage> m_messages;
    MessageBoxSink m_previous;
};

// gtest prints messages readably.
void PrintTo(const CapturedMessage& message, std::ostream* os);
