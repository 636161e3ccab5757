// The viewer engine run for real under Wine and read from outside, as a person would see
// it: the pages of the book behind it, the page text, and its two messages. The engine
// runs as this tree's own build (tomeshift_engine_x64): same source as the carried one.
//   engine_run_tests ENGINE.exe WORKDIR [gtest options]
#include "tools/samplegen/sample_book.h"
#include "tools/samplegen/sample_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string g_engine;
std::string g_work;

constexpr char kViewerClass[] = "TomeshiftEBookViewer";
constexpr DWORD kTimeoutMs = 15000;

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool WaitFor(const std::function<bool()>& done)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 100) {
        if (done())
            return true;
        ::Sleep(100);
    }
    return done();
}

std::string Narrow(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::vector<char> out(static_cast<size_t>(size > 0 ? size : 1));
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, NULL, NULL);
    return out.data();
}

// The text of a window of another process: asked for with WM_GETTEXT, since GetWindowText
// gives only captions across processes; in UTF-16, which the system passes on unchanged.
std::string Text(HWND window)
{
    const auto length = static_cast<size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    ::SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
    return Narrow(text.c_str());
}

std::string ListItem(HWND list, int index)
{
    const auto length = static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    std::wstring text(length + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return Narrow(text.c_str());
}

// A started program; ended and its handles closed when the object goes.
class CProgram {
public:
    explicit CProgram(const std::string& path)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + path + "\"";
        m_bStarted = ::CreateProcessA(path.c_str(), commandLine.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                                      &m_info) != FALSE;
    }
    ~CProgram()
    {
        if (!m_bStarted)
            return;
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_info.hProcess, 99);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Started() const { return m_bStarted; }

    // The program's visible top-level window of className (and caption, if given).
    HWND WaitForWindow(const char* className, const char* caption = NULL) const
    {
        struct Search {
            DWORD pid;
            const char* className;
            const char* caption;
            HWND found;
        } search = {m_info.dwProcessId, className, caption, NULL};
        WaitFor([&] {
            ::EnumWindows(
                [](HWND window, LPARAM param) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(param);
                    DWORD pid = 0;
                    ::GetWindowThreadProcessId(window, &pid);
                    char name[64] = {};
                    ::GetClassNameA(window, name, sizeof(name));
                    if (pid != s->pid || !::IsWindowVisible(window) || std::string(name) != s->className ||
                        (s->caption != NULL && Text(window) != s->caption))
                        return TRUE;
                    s->found = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != NULL;
        });
        return search.found;
    }

    // The exit code once the program has ended; -1 if it does not end in time.
    long ExitCode() const
    {
        if (::WaitForSingleObject(m_info.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION m_info = {};
    bool m_bStarted = false;
};

// The page text as the edit control shows it: line feeds as CR LF.
std::string Shown(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\n')
            out += '\r';
        out += ch;
    }
    return out;
}

TEST(EngineRunTest, ShowsTheBookBehindItAndThePageChosen)
{
    const std::string book = g_work + "\\guide.exe";
    const std::vector<BYTE> engine = ReadAll(g_engine);
    ASSERT_FALSE(engine.empty()) << g_engine;
    WriteSampleBook(book.c_str(), engine.data(), static_cast<DWORD>(engine.size()), CSampleOptions());

    CProgram program(book);
    ASSERT_TRUE(program.Started());
    HWND viewer = program.WaitForWindow(kViewerClass);
    ASSERT_NE(viewer, nullptr) << "no viewer window";
    EXPECT_EQ(Text(viewer), "guide - E-Book Viewer");

    HWND list = ::FindWindowExA(viewer, NULL, "ListBox", NULL);
    HWND page = ::FindWindowExA(viewer, NULL, "Edit", NULL);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ListItem(list, i), SamplePageName(i)) << "entry " << i;
    EXPECT_EQ(Text(page), Shown(SamplePageText(0)));

    // Choosing a page as a click would: select it and tell the window.
    ::SendMessageA(list, LB_SETCURSEL, 3, 0);
    ::SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(1, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(Text(page), Shown(SamplePageText(3)));

    ::PostMessageA(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(EngineRunTest, SaysPlainlyWhenItCannotShowABook)
{
    struct Case {
        const char* name;
        std::vector<BYTE> behindImage;  // {} for the bare engine
        const char* messageStart;
        const char* messageEnd;  // the archive error's own text, for a damaged tree
        long exitCode;
    };
    const std::vector<BYTE> engine = ReadAll(g_engine);
    std::vector<BYTE> damaged = {0x00, 0x00, 0x01, 0x00, 0x05, 0x80};  // a tag naming no class
    for (int shift = 0; shift < 32; shift += 8)
        damaged.push_back(static_cast<BYTE>(engine.size() >> shift));
    damaged.push_back(0x4B);
    damaged.push_back(0x47);
    const Case cases[] = {
        {"bare engine", {}, "This program holds no e-book: there are no pages behind the viewer.", "", 0},
        {"damaged tree", damaged, "This e-book cannot be opened:\n", "damaged.exe has a bad format.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = g_work + "\\" + (c.behindImage.empty() ? "bare.exe" : "damaged.exe");
        std::vector<BYTE> bytes = engine;
        bytes.insert(bytes.end(), c.behindImage.begin(), c.behindImage.end());
        WriteAll(path, bytes);

        CProgram program(path);
        ASSERT_TRUE(program.Started());
        HWND box = program.WaitForWindow("#32770", "E-Book Viewer");
        ASSERT_NE(box, nullptr) << "no message box";
        const std::string message = Text(::GetDlgItem(box, 0xFFFF));
        EXPECT_EQ(message.rfind(c.messageStart, 0), 0u) << message;
        const std::string end = c.messageEnd;
        EXPECT_TRUE(message.size() >= end.size() && message.compare(message.size() - end.size(), end.size(), end) == 0)
            << message;
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(program.ExitCode(), c.exitCode);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ENGINE.exe WORKDIR [gtest options]\n", argv[0]);
        return 2;
    }
    g_engine = argv[1];
    g_work = argv[2];
    return RUN_ALL_TESTS();
}
