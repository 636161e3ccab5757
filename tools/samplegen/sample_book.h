// Sample e-books in the old format: an engine image followed by a record tree holding a
// full catalogue (page index, pages, settings, the required and optional records) and
// records that a patch must drop. Options make the faulty books that tests need.
#pragma once

#include "platform/cstring.h"

#include <utility>
#include <vector>

struct CSampleOptions {
    std::vector<std::pair<int, int>> m_omit;  // (group, key) records to leave out
    DWORD m_nSettingsSize = 80;               // size of the settings record (350, 3)
    BOOL m_bNoTrailer = FALSE;                // write the bare engine image only
    int m_nPages = 6;                         // pages listed in the index
    DWORD m_nPageSize = 0;                    // every page's size; 0: each text as written
};

struct CSampleRecord {
    int m_nGroup;
    int m_nKey;
    std::vector<BYTE> m_data;
};

// The records of the sample book, in the order they are stored; records that options
// omit, and records left without bytes (which the store keeps none of), are absent.
std::vector<CSampleRecord> MakeSampleCatalogue(const CSampleOptions& options);

// Writes engine (size bytes) to path, then, unless options say no trailer, the catalogue
// through CUpdateFile. Raises CFileException on a file failure; an engine image that
// already ends in a container trailer is refused with CFileException (generic cause).
void WriteSampleBook(LPCTSTR path, const BYTE* engine, DWORD size, const CSampleOptions& options);
