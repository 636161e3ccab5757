#include "tests/e2e/session.h"

#include <filesystem>
#include <fstream>

namespace {

struct SearchState {
    DWORD processId;
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM lParam)
{
    auto* state = reinterpret_cast<SearchState*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == state->processId && IsDialogWindow(window) && (*state->match)(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match)
{
    SearchState state{processId, &match, NULL};
    ::EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

}  // namespace

E2EConfig& Config()
{
    static E2EConfig config;
    return config;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= end)
            return done();
        ::Sleep(50);
    }
    return true;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool IsDialogWindow(HWND window)
{
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    return ::IsWindowVisible(window) && std::string(className) == "#32770";
}

bool IsMessageBox(HWND window) { return ::GetDlgItem(window, kMessageBoxTextId) != NULL; }

CTomeshiftSession::CTomeshiftSession(const std::string& exe)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    const std::string folder = std::filesystem::path(exe).parent_path().string();
    ::CreateProcessA(exe.c_str(), commandLine.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                     &m_process);
}

CTomeshiftSession::~CTomeshiftSession()
{
    if (m_process.hProcess == NULL)
        return;
    // Dismiss boxes and nested dialogs first, then the main dialog, until the program ends.
    WaitFor([&] {
        if (Ended(0))
            return true;
        const HWND top = FindProcessWindow(m_process.dwProcessId, [&](HWND w) { return w != m_hDialog; });
        const HWND target = top != NULL ? top : m_hDialog;
        const WPARAM command = top != NULL && IsMessageBox(top) ? IDOK : IDCANCEL;
        if (target != NULL)
            ::PostMessageA(target, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        return false;
    }, 10000);
    if (!Ended(2000))
        ::TerminateProcess(m_process.hProcess, 1);
    ::WaitForSingleObject(m_process.hProcess, 5000);
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

HWND CTomeshiftSession::WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) const
{
    HWND found = NULL;
    WaitFor([&] { return (found = FindProcessWindow(m_process.dwProcessId, match)) != NULL; }, timeoutMs);
    return found;
}

HWND CTomeshiftSession::WaitForDialog()
{
    m_hDialog = WaitForWindow([](HWND w) { return WindowText(w) == "Tomeshift" && ::GetDlgItem(w, 1000) != NULL; });
    return m_hDialog;
}

MessageBoxText CTomeshiftSession::TakeMessageBox(DWORD timeoutMs)
{
    const HWND box = WaitForWindow(&IsMessageBox, timeoutMs);
    if (box == NULL)
        return {};
    // Let it finish drawing, so a screenshot taken now shows it whole.
    ::Sleep(200);
    MessageBoxText result{WindowText(box), ItemText(box, kMessageBoxTextId)};
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    WaitGone(box);
    return result;
}

bool CTomeshiftSession::NoMessageBox(DWORD waitMs) const { return WaitForWindow(&IsMessageBox, waitMs) == NULL; }

HWND CTomeshiftSession::FocusWindow() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(m_process.dwThreadId, &info);
    return info.hwndFocus;
}

void CTomeshiftSession::PressKey(UINT virtualKey) const
{
    const HWND focus = FocusWindow();
    const UINT scan = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageA(focus, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageA(focus, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

void CTomeshiftSession::PressAlt(char letter) const
{
    // The dialog manager takes mnemonics from the character that Alt with a key makes.
    constexpr LPARAM kAltDown = 0x20000000;
    ::PostMessageA(FocusWindow(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | kAltDown);
}

bool CTomeshiftSession::WaitGone(HWND window, DWORD timeoutMs)
{
    return WaitFor([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

bool CTomeshiftSession::Ended(DWORD timeoutMs) const
{
    return ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void Screenshot(const std::string& name)
{
    if (Config().shots.empty())
        return;
    ::Sleep(300);  // the last frame drawn before the shot
    const std::filesystem::path folder(Config().shots);
    const std::filesystem::path done = folder / (name + ".done");
    std::filesystem::remove(done);
    std::ofstream(folder / (name + ".req")).put('\n');
    WaitFor([&] { return std::filesystem::exists(done); }, 20000);
}
