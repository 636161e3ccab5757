// A small streaming JSON writer: objects, arrays, strings, numbers and booleans, with
// commas and indentation handled here. Text bytes above 0x7F are written as \u00XX, so
// any ANSI path comes out as valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CJsonWriter {
public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    void String(const char* key, const std::string& value);
    void Number(const char* key, std::uint64_t value);
    void Bool(const char* key, bool value);
    void Null(const char* key);

    // The document so far, ending in a line feed once the outermost value is closed.
    const std::string& Text() const { return m_text; }

private:
    void Key(const char* key);
    // Closes the innermost object or array with bracket; the document ends in a line feed.
    void Close(char bracket);
    void Quoted(const std::string& text);

    std::string m_text;
    std::vector<bool> m_first;  // per open container: no member written yet
};
