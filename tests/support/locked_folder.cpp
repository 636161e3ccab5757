#include "tests/support/locked_folder.h"

#if defined(_WIN32)

#include "platform/types.h"

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// Wine's own export: the Unix path of a Windows path, on the process heap.
using UnixFileNameFunction = char*(CDECL*)(LPCWSTR);

// Wine 8 exports it from kernel32; ntdll is asked too, for Wines that keep it there.
FARPROC FindUnixFileName()
{
    for (const char* module : {"kernel32.dll", "ntdll.dll"}) {
        const HMODULE handle = ::GetModuleHandleA(module);
        if (const FARPROC found = handle ? ::GetProcAddress(handle, "wine_get_unix_file_name") : nullptr)
            return found;
    }
    return nullptr;
}

// The Unix path of path; empty (with why in reason) when this is not Wine.
std::string UnixPathOf(const std::string& path, std::string& reason)
{
    const FARPROC found = FindUnixFileName();
    if (!found) {
        reason = "not running under Wine (no wine_get_unix_file_name), and no other way is known to lock a "
                 "folder against its owner";
        return {};
    }
    const auto unixFileName = reinterpret_cast<UnixFileNameFunction>(reinterpret_cast<void*>(found));
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 1));
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    char* unixPath = unixFileName(wide.data());
    if (!unixPath) {
        reason = "Wine found no Unix path for " + path;
        return {};
    }
    std::string result = unixPath;
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// Starts chattr on the folder; FALSE when it cannot be started. Wine does not wait for a
// Unix program: its process handle is signalled at once and the exit code tells nothing,
// so callers await the effect.
bool StartChattr(const char* change, const std::string& unixPath)
{
    std::string commandLine = std::string("/usr/bin/chattr ") + change + " \"" + unixPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

// 0 when a new file can be created in folder (it is deleted again), else the error.
DWORD CreationError(const std::string& folder)
{
    const std::string probe = folder + "\\probe.tmp";
    const HANDLE file =
        ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    ::CloseHandle(file);
    ::DeleteFileA(probe.c_str());
    return 0;
}

// Asks until creating a file in folder gives what is wanted, for up to ten seconds;
// returns the last answer.
DWORD AwaitCreationError(const std::string& folder, bool wantDenied)
{
    DWORD error = CreationError(folder);
    for (int tries = 0; tries < 500 && (error == ERROR_ACCESS_DENIED) != wantDenied; ++tries) {
        ::Sleep(20);
        error = CreationError(folder);
    }
    return error;
}

}  // namespace

LockedFolder::LockedFolder(const std::string& parent)
{
    static std::atomic<unsigned> counter{0};
    m_path = parent + "\\" + kLockedFolderPrefix + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++);
    if (!::CreateDirectoryA(m_path.c_str(), nullptr))
        throw std::runtime_error("cannot create " + m_path);
}

LockedFolder::~LockedFolder()
{
    if (!m_unixPath.empty() && StartChattr("-i", m_unixPath))
        AwaitCreationError(m_path, false);
}

std::string LockedFolder::Lock()
{
    std::string reason;
    m_unixPath = UnixPathOf(m_path, reason);
    if (m_unixPath.empty())
        return reason;
    if (!StartChattr("+i", m_unixPath))
        return "cannot start /usr/bin/chattr: error " + std::to_string(::GetLastError());

    const DWORD error = AwaitCreationError(m_path, true);
    if (error == ERROR_ACCESS_DENIED)
        return {};
    if (error != 0)
        return "creating a file in the locked folder failed with error " + std::to_string(error) +
               ", not with access denied";
    return "chattr +i did not lock " + m_unixPath +
           " (setting the immutable flag needs CAP_LINUX_IMMUTABLE, which this process lacks)";
}

#endif
