// The OS seam: every file operation asks the test-only fault hook first, then the backend.
#include "platform/os_file.h"

#include <utility>

namespace os {

namespace {

FaultHook& CurrentHook()
{
    static FaultHook hook;
    return hook;
}

LONG InjectedFault(Operation operation)
{
    const FaultHook& hook = CurrentHook();
    return hook ? hook(operation) : 0;
}

}  // namespace

FaultHook SetFaultHook(FaultHook hook) { return std::exchange(CurrentHook(), std::move(hook)); }

LONG Open(LPCSTR path, UINT flags, Handle* handle)
{
    const LONG fault = InjectedFault(Operation::open);
    return fault ? fault : native::Open(path, flags, handle);
}

LONG Close(Handle handle)
{
    // The handle is released even when the close is made to fail, as a failed close does.
    const LONG fault = InjectedFault(Operation::close);
    const LONG error = native::Close(handle);
    return fault ? fault : error;
}

LONG Read(Handle handle, void* buffer, UINT count, UINT* got)
{
    const LONG fault = InjectedFault(Operation::read);
    return fault ? fault : native::Read(handle, buffer, count, got);
}

LONG Write(Handle handle, const void* buffer, UINT count, UINT* written)
{
    const LONG fault = InjectedFault(Operation::write);
    return fault ? fault : native::Write(handle, buffer, count, written);
}

LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position)
{
    const LONG fault = InjectedFault(Operation::seek);
    return fault ? fault : native::Seek(handle, offset, origin, position);
}

LONG Truncate(Handle handle, std::int64_t length)
{
    const LONG fault = InjectedFault(Operation::truncate);
    return fault ? fault : native::Truncate(handle, length);
}

LONG FullPath(LPCSTR path, std::string* fullPath)
{
    const LONG fault = InjectedFault(Operation::fullPath);
    return fault ? fault : native::FullPath(path, fullPath);
}

LONG Remove(LPCSTR path)
{
    const LONG fault = InjectedFault(Operation::remove);
    return fault ? fault : native::Remove(path);
}

LONG RenameNoReplace(LPCSTR from, LPCSTR to)
{
    const LONG fault = InjectedFault(Operation::rename);
    return fault ? fault : native::RenameNoReplace(from, to);
}

}  // namespace os
