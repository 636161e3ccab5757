// The icon side of `inspect`: what an upgrade's icon step would find in a book, and whether
// the carried template has room for it.
#pragma once

#include "platform/cstring.h"

#include <vector>

struct CIconEntryReport {
    BYTE m_nWidth = 0;
    BYTE m_nHeight = 0;
    BYTE m_nColors = 0;
    DWORD m_nBytes = 0;
    WORD m_nId = 0;
};

struct CIconReport {
    bool m_bPe32I386 = false;    // a PE32 i386 image with a ".rsrc" section
    bool m_bGroupIcon = false;   // group icon 128 could be read
    std::vector<CIconEntryReport> m_entries;  // as group icon 128 lists them
    std::vector<CString> m_problems;          // why the icon step would fail; empty when it would not

    bool TemplateTakesIcons() const { return m_bPe32I386 && m_bGroupIcon && m_problems.empty(); }
};

// Reads the icon group of the executable at path, and tries the images an upgrade would
// copy against the template engine at templatePath. File failures raise CFileException.
CIconReport InspectIcons(const CString& path, const CString& templatePath);
