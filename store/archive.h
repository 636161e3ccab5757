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
    // buffer, when given, is the caller's and must hold bufferSize bytes (one too small for
    // 128 is not used: the archive takes its own).
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

    // Loading: the file offset of the next byte the stream will consume, which after a
    // failure is where the item that could not be read begins.
    DWORD GetStreamPosition() const { return m_nFilePos - (m_nBufMax - m_nBufCur); }

    static constexpr int kMaxDepth = 64;

private:
    void RequireLoading() const;
    void RequireStoring() const;
    [[noreturn]] void ThrowBadFormat(int cause) const;
    // The next index of the shared table, once it is known to stay below the limit.
    DWORD TakeIndex();

    // Makes count bytes readable in the buffer, or raises the end-of-file error.
    void FillBuffer(UINT count);
    void ReadExact(BYTE* data, UINT count);
    void Flush();
    void GiveBackReadAhead();

    void WriteTag(DWORD index, DWORD classBit);
    void WriteClass(const CRuntimeClass* cls);
    const CRuntimeClass* ReadClass(WORD tag, DWORD wholeTag);

    CFile* m_pFile;  // NULL once closed
    UINT m_nMode;
    CString m_strFileName;

    UINT m_nBufSize;
    std::unique_ptr<BYTE[]> m_pOwnedBuffer;
    BYTE* m_pBuffer;
    UINT m_nBufCur = 0;  // loading: next byte to consume; storing: bytes held
    UINT m_nBufMax = 0;  // loading: bytes held

    // Loading: the file's length when the archive was made, and where the next read lands.
    DWORD m_nFileLength = 0;
    DWORD m_nFilePos = 0;
    int m_nDepth = 0;

    DWORD m_nNextIndex = 1;
    std::unordered_map<const void*, DWORD> m_storeMap;  // storing: class or object -> index
    // Loading: index -> class; NULL for the null object and for objects, which belong to
    // whoever read them and are never looked at again.
    std::vector<const CRuntimeClass*> m_loadTable;
};
