#include "store/container_file.h"

#include "platform/exceptions.h"
#include "store/archive.h"

namespace {

// Invisible in the bytes and the file position; large enough that a book of 4 KiB pages is
// read and written in few system calls.
constexpr int kArchiveBufferSize = 256 * 1024;
constexpr UINT kReadOnlyFlags = CFile::modeRead | CFile::shareDenyNone;
constexpr UINT kReadWriteFlags = CFile::modeReadWrite | CFile::shareExclusive;

// The record as a group, or NULL when it is none: a plain record at the root holds no
// records, whatever its key.
CUpdateDir* AsGroup(CUpdateElem* record)
{
    return record && record->IsKindOf(RUNTIME_CLASS(CUpdateDir)) ? static_cast<CUpdateDir*>(record) : NULL;
}

template <typename T>
std::unique_ptr<T> NewRecord()
{
    return AfxAllocate([] { return std::make_unique<T>(); });
}

}  // namespace

// ---- COffsetFile ----

COffsetFile::COffsetFile(LPCTSTR path, UINT flags) : CFile(path, flags) {}

LONG COffsetFile::Seek(LONG offset, UINT origin)
{
    if (origin != fromBase)
        return CFile::Seek(offset, origin);
    // The sum wraps at 32 bits; a base of 2^31 or more becomes a negative position and fails.
    const DWORD position = static_cast<DWORD>(offset) + m_nBaseOffset;
    return CFile::Seek(static_cast<LONG>(position), begin);
}

// ---- CUpdateFile ----

CUpdateFile::~CUpdateFile()
{
    // The file object's destructor closes without raising; the tree goes after it.
    m_pFile.reset();
}

void CUpdateFile::Open(LPCTSTR path, BOOL bReadOnly)
{
    m_strPath = path;
    m_pFile = AfxAllocate([&] { return std::make_unique<COffsetFile>(path, bReadOnly ? kReadOnlyFlags : kReadWriteFlags); });

    BYTE trailer[kTrailerSize] = {};
    m_pFile->Seek(-static_cast<LONG>(kTrailerSize), CFile::end);
    m_pFile->Read(trailer, kTrailerSize);
    const auto magic = static_cast<WORD>(trailer[4] | trailer[5] << 8);
    if (magic != kTrailerMagic) {
        // No tree yet: a later Save appends one behind the present content.
        m_pFile->m_nBaseOffset = m_pFile->GetLength();
        m_pFile->Seek(0, COffsetFile::fromBase);
        return;
    }
    m_pFile->m_nBaseOffset = static_cast<DWORD>(trailer[0]) | static_cast<DWORD>(trailer[1]) << 8 |
                             static_cast<DWORD>(trailer[2]) << 16 | static_cast<DWORD>(trailer[3]) << 24;
    m_pFile->Seek(0, COffsetFile::fromBase);

    CArchive ar(m_pFile.get(), CArchive::load, kArchiveBufferSize);
    try {
        m_root.Serialize(ar);
    } catch (...) {
        m_nLoadEnd = ar.GetStreamPosition();
        throw;
    }
    m_nLoadEnd = ar.GetStreamPosition();
    ar.Close();

    for (const auto& child : m_root.GetChildren()) {
        if (!AsGroup(child.get()))
            AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    }
}

CUpdateElem* CUpdateFile::GetRecord(int group, int key) const
{
    const CUpdateDir* dir = AsGroup(m_root.Find(group));
    return dir ? dir->Find(key) : NULL;
}

void CUpdateFile::SetRecord(int group, int key, const BYTE* data, DWORD size)
{
    CUpdateDir* dir = AsGroup(m_root.Find(group));
    CUpdateElem* record = dir ? dir->Find(key) : NULL;
    if (size == 0) {
        if (!record)
            return;
        dir->RemoveChild(key);
        if (dir->GetChildren().empty())
            m_root.RemoveChild(group);
        return;
    }
    if (record) {
        record->SetData(data, size);
        return;
    }

    // A new record is filled before it enters the tree, so a failed allocation changes nothing.
    std::unique_ptr<CUpdateElem> fresh = NewRecord<CUpdateElem>();
    fresh->SetData(data, size);
    if (dir) {
        dir->AddChild(std::move(fresh), key);
        return;
    }
    std::unique_ptr<CUpdateDir> newGroup = NewRecord<CUpdateDir>();
    newGroup->AddChild(std::move(fresh), key);
    // A plain record under the group's key would hide the group: the group takes its place.
    m_root.RemoveChild(group);
    m_root.AddChild(std::move(newGroup), group);
}

void CUpdateFile::Save()
{
    if (!m_pFile)
        AfxThrowFileException(CFileException::invalidFile);
    m_pFile->Seek(0, COffsetFile::fromBase);
    CArchive ar(m_pFile.get(), CArchive::store, kArchiveBufferSize);
    m_root.Serialize(ar);
    ar << m_pFile->m_nBaseOffset << kTrailerMagic;
    ar.Close();
    m_pFile->SetLength(m_pFile->GetPosition());
}

void CUpdateFile::Close()
{
    if (!m_pFile)
        return;
    const std::unique_ptr<COffsetFile> file = std::move(m_pFile);
    file->Close();
}
