// The record container: an executable image with an archived record tree behind it,
// closed by a 6-byte trailer (DWORD base offset, then the bytes "KG").
#pragma once

#include "platform/file.h"
#include "store/record_tree.h"

#include <memory>

// A file whose seek origin 3 counts from the base offset of its tree.
class COffsetFile : public CFile {
public:
    enum { fromBase = 3 };

    // Opens path as CFile does; the base offset starts at 0.
    COffsetFile(LPCTSTR path, UINT flags);

    // Origin 3: the position offset + m_nBaseOffset (32-bit sum) from the start.
    // Origins 0 to 2 as CFile.
    LONG Seek(LONG offset, UINT origin) override;

    DWORD m_nBaseOffset = 0;
};

class CUpdateFile {
public:
    static constexpr WORD kTrailerMagic = 0x474B;  // "KG"
    static constexpr UINT kTrailerSize = 6;

    CUpdateFile() = default;
    CUpdateFile(const CUpdateFile&) = delete;
    CUpdateFile& operator=(const CUpdateFile&) = delete;
    // Closes the file; the tree goes with the object.
    ~CUpdateFile();

    // Opens path (read-only and shared, or read-write and exclusive), finds the trailer and
    // loads the tree behind it; without a trailer the tree is empty and the base offset is
    // the file's length. Raises CFileException, CArchiveException or CMemoryException; a
    // root holding a record that is not a directory is the bad-format error.
    void Open(LPCTSTR path, BOOL bReadOnly);

    // Record (group, key), or NULL. Works on the tree in memory only.
    CUpdateElem* GetRecord(int group, int key) const;
    // Creates or replaces (group, key) with a copy of size bytes; size 0 removes the record,
    // and its group with it when it was the group's last. Works on the tree in memory only.
    void SetRecord(int group, int key, const BYTE* data, DWORD size);
    // Writes the tree and the trailer at the base offset and cuts the file after them.
    // Without an open file it raises CFileException (invalid file).
    void Save();
    // Closes the file if one is open; the tree stays in memory.
    void Close();

    CString m_strPath;
    std::unique_ptr<COffsetFile> m_pFile;
    CUpdateDir m_root;
    // The file offset at which loading the tree ended, or stopped on a failure; 0 when no
    // tree was loaded. It tells a person where a damaged tree goes wrong.
    DWORD m_nLoadEnd = 0;
};
