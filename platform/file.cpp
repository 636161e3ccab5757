#include "platform/file.h"

#include "platform/exceptions.h"

#include <cstdint>
#include <limits>

namespace {

[[noreturn]] void ThrowOsError(LONG osError, LPCTSTR fileName = NULL)
{
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, fileName);
}

}  // namespace

CFile::CFile(LPCTSTR path, UINT flags)
{
    if (const LONG error = os::Open(path, flags, &m_handle)) {
        m_handle = os::kNoHandle;
        ThrowOsError(error, path);
    }
    std::string full;
    m_strFilePath = os::FullPath(path, &full) == 0 ? CString(std::move(full)) : CString(path);
}

CFile::~CFile()
{
    if (IsOpen())
        os::Close(m_handle);
}

LONG CFile::Seek(LONG offset, UINT origin)
{
    std::int64_t position = 0;
    if (const LONG error = os::Seek(m_handle, offset, origin, &position))
        ThrowOsError(error);
    if (position > std::numeric_limits<LONG>::max())
        AfxThrowFileException(CFileException::badSeek, os::NegativeSeekError());
    return static_cast<LONG>(position);
}

UINT CFile::Read(void* buffer, UINT count)
{
    UINT got = 0;
    if (count == 0)
        return 0;
    if (const LONG error = os::Read(m_handle, buffer, count, &got))
        ThrowOsError(error);
    return got;
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    UINT written = 0;
    if (const LONG error = os::Write(m_handle, buffer, count, &written))
        ThrowOsError(error, m_strFilePath);
    if (written < count)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFilePath);
}

DWORD CFile::GetLength()
{
    const LONG position = Seek(0, current);
    const LONG length = Seek(0, end);
    Seek(position, begin);
    return static_cast<DWORD>(length);
}

DWORD CFile::GetPosition() const
{
    std::int64_t position = 0;
    if (const LONG error = os::Seek(m_handle, 0, current, &position))
        ThrowOsError(error);
    return static_cast<DWORD>(position);
}

void CFile::SetLength(DWORD newLength)
{
    Seek(static_cast<LONG>(newLength), begin);
    if (const LONG error = os::Truncate(m_handle, newLength))
        ThrowOsError(error);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    const os::Handle handle = m_handle;
    m_handle = os::kNoHandle;
    if (const LONG error = os::Close(handle))
        ThrowOsError(error, m_strFilePath);
}

BOOL RemoveFile(LPCSTR path) { return os::Remove(path) == 0; }

BOOL RenameFile(LPCSTR from, LPCSTR to) { return os::RenameNoReplace(from, to) == 0; }
