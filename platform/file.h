// CFile: a file opened by path, with the class library's flags, positions of 32 bits and
// failures raised as CFileException. A failed open names the path as passed; a failed
// write names the full path; a failed seek, read or cut names no file.
#pragma once

#include "platform/cstring.h"
#include "platform/os_file.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,  // as exclusive: nobody else may open the file
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens path with flags, or raises CFileException carrying path as passed.
    CFile(LPCTSTR path, UINT flags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes the file if it is open; a failure to close is not reported here.
    virtual ~CFile();

    // Moves to offset counted from origin and returns the new position from the start.
    // A position before the start, or beyond what 32 bits can count, is badSeek.
    virtual LONG Seek(LONG offset, UINT origin);
    // Reads up to count bytes at the position; fewer only at the end of the file.
    UINT Read(void* buffer, UINT count);
    // Writes all count bytes at the position; fewer written counts as a full disk.
    void Write(const void* buffer, UINT count);
    // The length, through Seek; the position is left where it was.
    DWORD GetLength();
    DWORD GetPosition() const;
    // Makes newLength the length (cutting or extending) and leaves the position there.
    void SetLength(DWORD newLength);
    void Close();

    BOOL IsOpen() const { return m_handle != os::kNoHandle; }
    const CString& GetFilePath() const { return m_strFilePath; }

private:
    os::Handle m_handle = os::kNoHandle;
    CString m_strFilePath;  // full path, for the messages of failed writes
};

// DeleteFileA and MoveFileA, through the same seam as every file operation: TRUE on
// success. RenameFile fails when to exists; it never replaces a file. RemoveFile never
// removes a folder.
BOOL RemoveFile(LPCSTR path);
BOOL RenameFile(LPCSTR from, LPCSTR to);
