// The OS seam: every file operation asks the test-only fault hook first, then the backend.
#include "platform/os_file.h"

#include <map>
#include <utility>

namespace os {

namespace {

FaultHook& CurrentHook()
{
    static FaultHook hook;
    return hook;
}

// The path each open handle was opened with, so that the hook can be told which file an
// operation on a handle concerns.
std::map<Handle, std::string>& OpenFiles()
{
    static std::map<Handle, std::string> files;
    return files;
}

LONG InjectedFault(Operation operation, LPCSTR file)
{
    const FaultHook& hook = CurrentHook();
    return hook ? hook(operation, file) : 0;
}

LONG InjectedFault(Operation operation, Handle handle)
{
    const FaultHook& hook = CurrentHook();
    if (!hook)
        return 0;
    const auto found = OpenFiles().find(handle);
    return hook(operation, found == OpenFiles().end() ? std::string() : found->second);
}

}  // namespace

FaultHook SetFaultHook(FaultHook hook) { return std::exchange(CurrentHook(), std::move(hook)); }

LONG Open(LPCSTR path, UINT flags, Handle* handle)
{
    if (const LONG fault = InjectedFault(Operation::open, path))
        return fault;
    const LONG error = native::Open(path, flags, handle);
    if (error == 0)
        OpenFiles()[*handle] = path;
    return error;
}

LONG Close(Handle handle)
{
    // The handle is released even when the close is made to fail, as a failed close does.
    const LONG fault = InjectedFault(Operation::close, handle);
    OpenFiles().erase(handle);
    const LONG error = native::Close(handle);
    return fault ? fault : error;
}

LONG Read(Handle handle, void* buffer, UINT count, UINT* got)
{
    const LONG fault = InjectedFault(Operation::read, handle);
    return fault ? fault : native::Read(handle, buffer, count, got);
}

LONG Write(Handle handle, const void* buffer, UINT count, UINT* written)
{
    const LONG fault = InjectedFault(Operation::write, handle);
    return fault ? fault : native::Write(handle, buffer, count, written);
}

LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position)
{
    const LONG fault = InjectedFault(Operation::seek, handle);
    return fault ? fault : native::Seek(handle, offset, origin, position);
}

LONG Truncate(Handle handle, std::int64_t length)
{
    const LONG fault = InjectedFault(Operation::truncate, handle);
    return fault ? fault : native::Truncate(handle, length);
}

LONG FullPath(LPCSTR path, std::string* fullPath)
{
    const LONG fault = InjectedFault(Operation::fullPath, path);
    return fault ? fault : native::FullPath(path, fullPath);
}

LONG Remove(LPCSTR path)
{
    const LONG fault = InjectedFault(Operation::remove, path);
    return fault ? fault : native::Remove(path);
}

LONG RenameNoReplace(LPCSTR from, LPCSTR to)
{
    const LONG fault = InjectedFault(Operation::rename, from);
    return fault ? fault : native::RenameNoReplace(from, to);
}

}  // namespace os
