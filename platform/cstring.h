// CString: NUL-terminated text in the system's ANSI code page, held by value.
#pragma once

#include "platform/types.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCTSTR text) : m_str(text ? text : "") {}  // NOLINT: implicit, as the class library's
    CString(const char* text, int length) : m_str(text, static_cast<size_t>(length)) {}
    explicit CString(std::string text) : m_str(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    LPCTSTR GetString() const { return m_str.c_str(); }
    operator LPCTSTR() const { return m_str.c_str(); }  // NOLINT: implicit, as the class library's
    const std::string& str() const { return m_str; }

    // Index of the last occurrence of ch, or -1. The search steps over double-byte
    // characters of the ANSI code page, so a trail byte never matches.
    int ReverseFind(char ch) const;
    // Inserts text before the character at index (clamped to the string); returns the new length.
    int Insert(int index, LPCTSTR text);

    CString& operator=(LPCTSTR text) { m_str = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(LPCTSTR text) { m_str += text ? text : ""; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, LPCTSTR b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(LPCTSTR a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCTSTR b) { return a.m_str == (b ? b : ""); }

private:
    std::string m_str;
};

// TRUE when byte is the first byte of a double-byte character in the ANSI code page.
BOOL IsLeadByteOfCodePage(BYTE byte);
