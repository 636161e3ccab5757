#include "store/archive.h"

#include "platform/exceptions.h"
#include "platform/file.h"
#include "store/record_tree.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kMinBufferSize = 128;
constexpr WORD kNullTag = 0x0000;
constexpr WORD kBigTag = 0x7FFF;        // a DWORD holding the whole tag follows
constexpr WORD kNewClassTag = 0xFFFF;   // schema, name length and name follow
constexpr DWORD kClassBit = 0x80000000;
constexpr WORD kCountEscape = 0xFFFF;
constexpr DWORD kIndexLimit = 0x3FFFFFFE;
constexpr WORD kMaxNameLength = 64;     // a class name is shorter

// memcpy with a length of 0 may be handed a null pointer.
void CopyBytes(void* to, const void* from, UINT count)
{
    if (count > 0)
        std::memcpy(to, from, count);
}

}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* buffer)
    : m_pFile(file),
      m_nMode(mode),
      m_strFileName(file->GetFilePath()),
      m_nBufSize(bufferSize < static_cast<int>(kMinBufferSize) ? kMinBufferSize : static_cast<UINT>(bufferSize)),
      m_pBuffer(static_cast<BYTE*>(buffer))
{
    // A caller's buffer smaller than the least size cannot be used: take our own.
    if (!m_pBuffer || bufferSize < static_cast<int>(kMinBufferSize)) {
        m_pOwnedBuffer = AfxAllocate([this] { return std::make_unique_for_overwrite<BYTE[]>(m_nBufSize); });
        m_pBuffer = m_pOwnedBuffer.get();
    }
    if (IsLoading()) {
        m_nFilePos = file->GetPosition();
        m_nFileLength = file->GetLength();
    }
}

CArchive::~CArchive()
{
    if (!m_pFile || !IsLoading())
        return;  // a storing archive that was not closed drops what it holds
    try {
        GiveBackReadAhead();
    } catch (const CException&) {
        // Destructors raise nothing; the file is merely left further on.
    }
}

void CArchive::RequireLoading() const
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
}

void CArchive::RequireStoring() const
{
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
}

void CArchive::ThrowBadFormat(int cause) const { AfxThrowArchiveException(cause, m_strFileName); }

DWORD CArchive::TakeIndex()
{
    if (m_nNextIndex >= kIndexLimit)
        ThrowBadFormat(CArchiveException::badIndex);
    return m_nNextIndex++;
}

// ---- reading ----

void CArchive::FillBuffer(UINT count)
{
    const UINT held = m_nBufMax - m_nBufCur;
    if (held >= count)
        return;
    std::memmove(m_pBuffer, m_pBuffer + m_nBufCur, held);
    m_nBufCur = 0;
    m_nBufMax = held;
    while (m_nBufMax < count) {
        const UINT got = m_pFile->Read(m_pBuffer + m_nBufMax, m_nBufSize - m_nBufMax);
        if (got == 0)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        m_nBufMax += got;
        m_nFilePos += got;
    }
}

void CArchive::ReadExact(BYTE* data, UINT count)
{
    RequireLoading();
    FillBuffer(count);
    CopyBytes(data, m_pBuffer + m_nBufCur, count);
    m_nBufCur += count;
}

CArchive& CArchive::operator>>(WORD& value)
{
    BYTE bytes[2];
    ReadExact(bytes, 2);
    value = static_cast<WORD>(bytes[0] | bytes[1] << 8);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
            static_cast<DWORD>(bytes[3]) << 24;
    return *this;
}

UINT CArchive::Read(void* data, UINT count)
{
    RequireLoading();
    BYTE* out = static_cast<BYTE*>(data);
    const UINT fromBuffer = std::min(count, m_nBufMax - m_nBufCur);
    CopyBytes(out, m_pBuffer + m_nBufCur, fromBuffer);
    m_nBufCur += fromBuffer;
    const UINT rest = count - fromBuffer;
    if (rest == 0)
        return count;

    // The buffer is used up. A run at least as long as the buffer goes straight to its place.
    if (rest >= m_nBufSize) {
        const UINT got = m_pFile->Read(out + fromBuffer, rest);
        m_nFilePos += got;
        return fromBuffer + got;
    }
    m_nBufCur = m_nBufMax = 0;
    const UINT got = m_pFile->Read(m_pBuffer, m_nBufSize);
    m_nBufMax = got;
    m_nFilePos += got;
    const UINT taken = std::min(rest, m_nBufMax);
    CopyBytes(out + fromBuffer, m_pBuffer, taken);
    m_nBufCur = taken;
    return fromBuffer + taken;
}

void CArchive::EnsureReadable(DWORD count)
{
    RequireLoading();
    const DWORD held = m_nBufMax - m_nBufCur;
    const DWORD inFile = m_nFilePos < m_nFileLength ? m_nFileLength - m_nFilePos : 0;
    if (count > held && count - held > inFile)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

DWORD CArchive::ReadCount()
{
    WORD count = 0;
    *this >> count;
    if (count != kCountEscape)
        return count;
    DWORD big = 0;
    *this >> big;
    return big;
}

std::unique_ptr<CObject> CArchive::ReadObject()
{
    if (m_loadTable.empty())
        AfxAllocate([this] { m_loadTable.push_back(NULL); });

    WORD tag = 0;
    *this >> tag;
    DWORD wholeTag = 0;
    if (tag == kBigTag)
        *this >> wholeTag;
    else
        wholeTag = static_cast<DWORD>(tag & 0x8000u) << 16 | (tag & 0x7FFFu);
    // A null child or a second reference to a record would break single ownership.
    if (!(wholeTag & kClassBit))
        ThrowBadFormat(CArchiveException::badIndex);

    const CRuntimeClass* cls = ReadClass(tag, wholeTag);
    if (m_nDepth >= kMaxDepth)
        ThrowBadFormat(CArchiveException::badIndex);
    std::unique_ptr<CObject> object = cls->CreateObject();
    TakeIndex();
    AfxAllocate([this] { m_loadTable.push_back(NULL); });

    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{++m_nDepth};
    object->Serialize(*this);
    return object;
}

const CRuntimeClass* CArchive::ReadClass(WORD tag, DWORD wholeTag)
{
    if (tag != kNewClassTag) {
        const DWORD index = wholeTag & ~kClassBit;
        // Index 0 and objects hold no class.
        if (index >= m_loadTable.size() || !m_loadTable[index])
            ThrowBadFormat(CArchiveException::badIndex);
        return m_loadTable[index];
    }

    WORD schema = 0;
    WORD length = 0;
    *this >> schema >> length;
    if (length >= kMaxNameLength)
        ThrowBadFormat(CArchiveException::badClass);
    char name[kMaxNameLength];
    if (Read(name, length) != length)
        ThrowBadFormat(CArchiveException::badClass);
    const CRuntimeClass* cls = FindRecordClass(name, length);
    if (!cls)
        ThrowBadFormat(CArchiveException::badClass);
    if (schema != cls->m_wSchema)
        ThrowBadFormat(CArchiveException::badSchema);
    TakeIndex();
    AfxAllocate([this, cls] { m_loadTable.push_back(cls); });
    return cls;
}

// ---- writing ----

void CArchive::Flush()
{
    const UINT held = m_nBufCur;
    m_nBufCur = 0;
    if (held > 0)
        m_pFile->Write(m_pBuffer, held);
}

void CArchive::Write(const void* data, UINT count)
{
    RequireStoring();
    if (count <= m_nBufSize - m_nBufCur) {
        CopyBytes(m_pBuffer + m_nBufCur, data, count);
        m_nBufCur += count;
        return;
    }
    Flush();
    if (count >= m_nBufSize) {
        m_pFile->Write(data, count);
        return;
    }
    CopyBytes(m_pBuffer, data, count);
    m_nBufCur = count;
}

CArchive& CArchive::operator<<(WORD value)
{
    const BYTE bytes[2] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
    Write(bytes, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD value)
{
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    Write(bytes, 4);
    return *this;
}

void CArchive::WriteCount(DWORD count)
{
    if (count < kCountEscape) {
        *this << static_cast<WORD>(count);
        return;
    }
    *this << kCountEscape << count;
}

void CArchive::WriteTag(DWORD index, DWORD classBit)
{
    if (index < kBigTag) {
        *this << static_cast<WORD>(classBit >> 16 | index);
        return;
    }
    *this << kBigTag << (classBit | index);
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    if (const auto known = m_storeMap.find(cls); known != m_storeMap.end()) {
        WriteTag(known->second, kClassBit);
        return;
    }
    const auto length = static_cast<WORD>(std::strlen(cls->m_lpszClassName));
    *this << kNewClassTag << static_cast<WORD>(cls->m_wSchema) << length;
    Write(cls->m_lpszClassName, length);
    const DWORD index = TakeIndex();
    AfxAllocate([this, cls, index] { m_storeMap.emplace(cls, index); });
}

void CArchive::WriteObject(const CObject* object)
{
    if (!object) {
        *this << kNullTag;
        return;
    }
    if (const auto known = m_storeMap.find(object); known != m_storeMap.end()) {
        WriteTag(known->second, 0);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    const DWORD index = TakeIndex();
    AfxAllocate([this, object, index] { m_storeMap.emplace(object, index); });
    // Storing reads the object only; Serialize serves both directions, hence not const.
    const_cast<CObject*>(object)->Serialize(*this);
}

// ---- closing ----

void CArchive::GiveBackReadAhead()
{
    const UINT unread = m_nBufMax - m_nBufCur;
    m_nBufCur = m_nBufMax = 0;
    if (unread > 0)
        m_pFile->Seek(-static_cast<LONG>(unread), CFile::current);
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    if (IsStoring())
        Flush();
    else
        GiveBackReadAhead();
    m_pFile = NULL;
}
