#include "cli/json_writer.h"

#include <cstdio>

void CJsonWriter::Key(const char* key)
{
    if (!m_first.empty()) {
        if (!m_first.back())
            m_text += ',';
        m_first.back() = false;
        m_text += '\n';
        m_text.append(2 * m_first.size(), ' ');
    }
    if (key) {
        Quoted(key);
        m_text += ": ";
    }
}

void CJsonWriter::Quoted(const std::string& text)
{
    m_text += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += c;
        } else if (c == '\n') {
            m_text += "\\n";
        } else if (byte < 0x20 || byte > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            m_text += escaped;
        } else {
            m_text += c;
        }
    }
    m_text += '"';
}

void CJsonWriter::Close(char bracket)
{
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) {
        m_text += '\n';
        m_text.append(2 * m_first.size(), ' ');
    }
    m_text += bracket;
    if (m_first.empty())
        m_text += '\n';
}

void CJsonWriter::BeginObject(const char* key)
{
    Key(key);
    m_text += '{';
    m_first.push_back(true);
}

void CJsonWriter::EndObject() { Close('}'); }

void CJsonWriter::BeginArray(const char* key)
{
    Key(key);
    m_text += '[';
    m_first.push_back(true);
}

void CJsonWriter::EndArray() { Close(']'); }

void CJsonWriter::String(const char* key, const std::string& value)
{
    Key(key);
    Quoted(value);
}

void CJsonWriter::Number(const char* key, std::uint64_t value)
{
    Key(key);
    m_text += std::to_string(value);
}

void CJsonWriter::Bool(const char* key, bool value)
{
    Key(key);
    m_text += value ? "true" : "false";
}

void CJsonWriter::Null(const char* key)
{
    Key(key);
    m_text += "null";
}
