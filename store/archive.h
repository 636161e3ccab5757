// CArchive: writes and reads the record tree's byte stream (little-endian, unpadded),
// with counts, class and object tags and the shared index table. Buffering never changes
// a byte of the stream. Malformed data raises CArchiveException; file failures raise
// CFileException; exhausted memory raises CMemoryException.
#pragma once

#include "platform/cstring.h"
#include "platform/object.h"

#include <memory>
#include <unordered_map>
#include <vector>

class CFile;

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1 };

    // Works on file from its present position. A bufferSize below 128 is raised to 128;
    // buffer, when given, is the caller's and must hold bufferSize bytes.
    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = NULL);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    // A loading archive still attached gives back its read-ahead; a storing one that was
    // not closed discards what it buffered. Never raises.
    ~CArchive();

    BOOL IsLoading() const { return m_nMode == load; }
    BOOL IsStoring() const { return m_nMode == store; }

    CArchive& operator<<(WORD value);
    CArchive& operator<<(DWORD value);
    // Raise the end-of-file error (no file name) when the stream ends first.
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(DWORD& value);

    void Write(const void* data, UINT count);
    // Returns the bytes obtained; fewer than count only when the file ends first.
    UINT Read(void* data, UINT count);
    // Raises the end-of-file error unless count more bytes are left in the stream, so a
    // corrupt size is caught before anything is allocated for it.
    void EnsureReadable(DWORD count);

    void WriteCount(DWORD count);
    DWORD ReadCount();

    // Writes one object record: a reference when the object was written before, else its
    // class (by name the first time) and its body.
    void WriteObject(const CObject* object);
    // Reads one object record that must be a new object of a registered class; the caller
    // owns it. A null tag, a reference to an object read before, and a tag naming the wrong
    // kind of index entry are the bad-format error (cause 5): every record has one owner.
    // Objects nested deeper than kMaxDepth are the bad-format error too.
    std::unique_ptr<CObject> ReadObject();

    // Writes out what is buffered (storing) or gives back the read-ahead so the file stands
    // right after the last byte of the stream (loading), then detaches from the file.
    void Close();

    static constexpr int kMaxDepth = 64;

private:
    // ... implementation detail
};
