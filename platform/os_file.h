// The one seam between CFile and the operating system. Every call returns 0 on success or
// the system's error code (errno natively, GetLastError on Windows); CFile turns codes into
// CFileException with CFileException::OsErrorToException.
#pragma once

#include "platform/types.h"

#include <cstdint>
#include <functional>
#include <string>

namespace os {

using Handle = std::intptr_t;
constexpr Handle kNoHandle = -1;

// flags are CFile's open flags: access in the low two bits, sharing in 0x70, modeCreate,
// modeNoTruncate. Opening a folder fails as access denied, as it does on Windows.
LONG Open(LPCSTR path, UINT flags, Handle* handle);
LONG Close(Handle handle);
LONG Read(Handle handle, void* buffer, UINT count, UINT* got);
LONG Write(Handle handle, const void* buffer, UINT count, UINT* written);
// Moves by offset from origin (0 start, 1 current, 2 end); position gets the new position.
LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position);
// Cuts or extends the file to length; the position is not moved.
LONG Truncate(Handle handle, std::int64_t length);
LONG FullPath(LPCSTR path, std::string* fullPath);
LONG Remove(LPCSTR path);
// Renames from to to; fails when to exists.
LONG RenameNoReplace(LPCSTR from, LPCSTR to);

// The code that a seek to a negative position fails with.
LONG NegativeSeekError();

// The operations above, for the fault hook.
enum class Operation { open, close, read, write, seek, truncate, fullPath, remove, rename };

// Test-only: while a hook is set, it is asked before every operation, with the path the
// operation concerns (for a handle, the path it was opened with; for a rename, its source);
// a result other than 0 makes that operation fail with that system error code without
// touching the file. Returns the hook it replaces.
using FaultHook = std::function<LONG(Operation, const std::string& file)>;
FaultHook SetFaultHook(FaultHook hook);

// The system's own operations, behind the hook: one definition per backend.
namespace native {
LONG Open(LPCSTR path, UINT flags, Handle* handle);
LONG Close(Handle handle);
LONG Read(Handle handle, void* buffer, UINT count, UINT* got);
LONG Write(Handle handle, const void* buffer, UINT count, UINT* written);
LONG Seek(Handle handle, std::int64_t offset, UINT origin, std::int64_t* position);
LONG Truncate(Handle handle, std::int64_t length);
LONG FullPath(LPCSTR path, std::string* fullPath);
LONG Remove(LPCSTR path);
LONG RenameNoReplace(LPCSTR from, LPCSTR to);
}  // namespace native

}  // namespace os
