// The catalogue of records that an e-book carries and an upgrade keeps: one place for the
// record transfer and for whatever explains a book before it is patched.
#pragma once

#include "platform/cstring.h"
#include "store/record_keys.h"

#include <vector>

// After the page index (350, 2) and the settings (350, 3): required, in the order copied.
constexpr int kRequiredBookKeys[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16};
// Copied when present, in this order, after the required ones.
constexpr int kOptionalBookKeys[] = {REC_LINK_TABLE, 18, 15};

// The settings record is one of the two sizes e-books were written with.
inline bool IsSettingsSize(DWORD size) { return size == 80 || size == 76; }

// One entry of the page index (350, 2).
struct CPageIndexEntry {
    DWORD m_nOffset = 0;  // where the entry starts in the record
    CString m_strName;
    DWORD m_nPageId = 0;  // names the page record (349, low 16 bits of the id)
};

// Reads the page index: entries back to back, each a NUL-terminated name, a 4-byte
// little-endian page id and 12 more bytes. Appends every entry up to its page id in order
// (the 12 bytes of the last entry may be cut short) and returns TRUE; returns FALSE when the
// last entry's name has no NUL within the record or its page id is cut short, leaving that
// entry out. Never reads past size.
BOOL ReadPageIndex(const BYTE* data, DWORD size, std::vector<CPageIndexEntry>& entries);
