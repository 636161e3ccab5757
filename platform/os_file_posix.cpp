// POSIX backend. Windows sharing is mirrored with flock: an exclusive open takes an
// exclusive lock, a shared one a shared lock, so two programs of ours see the same
// sharing violations as on Windows.
#include "platform/exceptions.h"
#include "platform/file.h"
#include "platform/os_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os::native {

namespace {

int FileDescriptor(Handle handle) { return static_cast<int>(handle); }

LONG LastError() { return static_cast<LONG>(errno); }

// Windows tells a missing file (not found) from a missing folder (invalid path); so do we.
LONG OpenError(LPCSTR path)
{
    const LONG error = LastError();
    if (error != ENOENT)
        return error;
    std::string folder(path);
    const size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : folder.substr(0, slash == 0 ? 1 : slash);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? ENOENT : ENOTDIR;
}

}  // namespace

LONG Open(LPCSTR path, UINT flags, Handle* handle)
{
    int mode = O_RDONLY;
    switch (flags & 3u) {
    case CFile::modeWrite: mode = O_WRONLY; break;
    case CFile::modeReadWrite: mode = O_RDWR; break;
    default: break;
    }
    if (flags & CFile::modeCreate)
        mode |= O_CREAT;
    const int fd = ::open(path, mode | O_CLOEXEC, 0666);
    if (fd < 0)
        return OpenError(path);

    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const LONG error = S_ISDIR(info.st_mode) ? EISDIR : LastError();
        ::close(fd);
        return error;
    }
    const UINT share = flags & 0x70u;
    const bool exclusive = share == CFile::shareCompat || share == CFile::shareExclusive;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const LONG error = errno == EWOULDBLOCK ? ETXTBSY : LastError();
        ::close(fd);
        return error;
    }
    // Emptied only once the lock is held, so a file held by another program is never cut.
    if ((flags & CFile::modeCreate) && !(flags & CFile::modeNoTruncate) && ::ftruncate(fd, 0) != 0) {
        const LONG error = LastError();
        ::close(fd);
        return error;
    }
    *handle = fd;
    return 0;
}

LONG Close(Handle handle) { return ::close(FileDescriptor(handle)) == 0 ? 0 : LastError(); }

LONG Read(Handle handle, void* buffer, UINT count, UINT* got)
{
    UINT total = 0;
    while (total < count) {
        const ssize_t n = ::read(FileDescriptor(handle), static_cast<char*>(buffer) + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        if (n == 0)
            break;
        total += static_cast<UINT>(n);
    }
    *got = total;
    return 0;
}

LONG Write(Handle handle, const void* buffer, UINT count, UINT* written)
{
    UINT total = 0;
    while (total < count) {
        const ssize_t n = ::write(FileDescriptor(handle), static_cast<const char*>(buffer) + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (total > 0 && errno == ENOSPC)
                break;  // a short write: the caller reports the full disk
            return LastError();
        }
        if (n == 0)
            break;
        total += static_cast<UINT>(n);
    }
    *written = total;
    return 0;
}

LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position)
{
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    const off_t result = ::lseek(FileDescriptor(handle), static_cast<off_t>(offset), whence);
    if (result < 0)
        return LastError();
    *position = static_cast<std::int64_t>(result);
    return 0;
}

LONG Truncate(Handle handle, std::int64_t length)
{
    return ::ftruncate(FileDescriptor(handle), static_cast<off_t>(length)) == 0 ? 0 : LastError();
}

LONG FullPath(LPCSTR path, std::string* fullPath)
{
    char buffer[PATH_MAX];
    if (!::realpath(path, buffer))
        return LastError();
    *fullPath = buffer;
    return 0;
}

LONG Remove(LPCSTR path)
{
    struct stat info {};
    if (::lstat(path, &info) == 0 && S_ISDIR(info.st_mode))
        return EISDIR;  // DeleteFileA never removes a folder
    return ::unlink(path) == 0 ? 0 : LastError();
}

LONG RenameNoReplace(LPCSTR from, LPCSTR to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return LastError();
    // The file system cannot rename without replacing: link() also fails when to
    // exists, so no file is ever replaced; then the old name goes.
    if (::link(from, to) != 0)
        return LastError();
    if (::unlink(from) != 0) {
        const LONG error = LastError();
        ::unlink(to);
        return error;
    }
    return 0;
}

}  // namespace os::native

LONG os::NegativeSeekError() { return EINVAL; }

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return removeCurrentDir;
    case EMLINK: return directoryFull;
    case EINVAL:
    case ESPIPE:
    case EOVERFLOW: return badSeek;
    case EIO: return hardIO;
    case ETXTBSY: return sharingViolation;
    case EDEADLK:
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}
