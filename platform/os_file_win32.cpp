// Win32 backend: CreateFileA with the share modes that CFile's flags name.
#include "platform/exceptions.h"
#include "platform/file.h"
#include "platform/os_file.h"

namespace os::native {

namespace {

HANDLE Win32Handle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

LONG LastError() { return static_cast<LONG>(::GetLastError()); }

}  // namespace

LONG Open(LPCSTR path, UINT flags, Handle* handle)
{
    DWORD access = GENERIC_READ;
    switch (flags & 3u) {
    case CFile::modeWrite: access = GENERIC_WRITE; break;
    case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
    }
    DWORD share = 0;
    switch (flags & 0x70u) {
    case CFile::shareDenyWrite: share = FILE_SHARE_READ; break;
    case CFile::shareDenyRead: share = FILE_SHARE_WRITE; break;
    case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;  // compatibility and exclusive: no sharing
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & CFile::modeCreate)
        disposition = (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES security = {sizeof(security), NULL, FALSE};
    const HANDLE file = ::CreateFileA(path, access, share, &security, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return LastError();
    *handle = reinterpret_cast<Handle>(file);
    return 0;
}

LONG Close(Handle handle) { return ::CloseHandle(Win32Handle(handle)) ? 0 : LastError(); }

LONG Read(Handle handle, void* buffer, UINT count, UINT* got)
{
    DWORD read = 0;
    if (!::ReadFile(Win32Handle(handle), buffer, count, &read, NULL))
        return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : LastError();
    *got = read;
    return 0;
}

LONG Write(Handle handle, const void* buffer, UINT count, UINT* written)
{
    DWORD done = 0;
    if (!::WriteFile(Win32Handle(handle), buffer, count, &done, NULL))
        return LastError();
    *written = done;
    return 0;
}

LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    const DWORD method = origin == 1 ? FILE_CURRENT : origin == 2 ? FILE_END : FILE_BEGIN;
    if (!::SetFilePointerEx(Win32Handle(handle), distance, &result, method))
        return LastError();
    *position = result.QuadPart;
    return 0;
}

LONG Truncate(Handle handle, std::int64_t length)
{
    LARGE_INTEGER here = {};
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(Win32Handle(handle), zero, &here, FILE_CURRENT))
        return LastError();
    LARGE_INTEGER target;
    target.QuadPart = length;
    if (!::SetFilePointerEx(Win32Handle(handle), target, NULL, FILE_BEGIN) || !::SetEndOfFile(Win32Handle(handle)))
        return LastError();
    return ::SetFilePointerEx(Win32Handle(handle), here, NULL, FILE_BEGIN) ? 0 : LastError();
}

LONG FullPath(LPCSTR path, std::string* fullPath)
{
    char buffer[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, buffer, NULL);
    if (length == 0 || length >= MAX_PATH)
        return length == 0 ? LastError() : static_cast<LONG>(ERROR_FILENAME_EXCED_RANGE);
    *fullPath = buffer;
    return 0;
}

LONG Remove(LPCSTR path) { return ::DeleteFileA(path) ? 0 : LastError(); }

LONG RenameNoReplace(LPCSTR from, LPCSTR to) { return ::MoveFileA(from, to) ? 0 : LastError(); }

}  // namespace os::native

LONG os::NegativeSeekError() { return ERROR_NEGATIVE_SEEK; }

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SEEK:
    case ERROR_INVALID_PARAMETER: return badSeek;
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED: return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}
