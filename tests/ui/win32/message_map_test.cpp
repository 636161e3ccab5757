#include "platform/exceptions.h"
#include "platform/win32/win_app.h"
#include "platform/win32/wnd.h"
#include "tests/support/message_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr UINT WM_BOTH = WM_APP + 1;       // mapped in the derived class and in its base
constexpr UINT WM_BASE_ONLY = WM_APP + 2;  // mapped in the base only
constexpr UINT WM_THROW = WM_APP + 3;      // its handler raises what the test gives it
constexpr UINT kButton = 7;

class CBaseProbe : public CWnd {
public:
    std::string m_calls;
    std::function<void()> m_raise;

protected:
    LRESULT OnBoth() { m_calls += "base;"; return 1; }
    LRESULT OnBaseOnly() { m_calls += "base-only;"; return 2; }
    LRESULT OnThrow() { m_raise(); return 3; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    {WM_BOTH, 0, 0, AFX_HANDLER(return self->OnBoth();)},
    {WM_BASE_ONLY, 0, 0, AFX_HANDLER(return self->OnBaseOnly();)},
    {WM_THROW, 0, 0, AFX_HANDLER(return self->OnThrow();)},
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
protected:
    LRESULT OnBoth() { m_calls += "derived;"; return 10; }
    void OnClicked() { m_calls += "clicked;"; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    {WM_BOTH, 0, 0, AFX_HANDLER(return self->OnBoth();)},
    ON_BN_CLICKED(kButton, OnClicked)
END_MESSAGE_MAP()

// An application whose map takes one command that no window maps.
class CProbeApp : public CWinApp {
public:
    int m_nCommands = 0;

protected:
    void OnProbeCommand() { ++m_nCommands; }

    DECLARE_MESSAGE_MAP()
};

constexpr UINT kAppCommand = 42;

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
    ON_COMMAND(kAppCommand, OnProbeCommand)
END_MESSAGE_MAP()

// A hidden static control, the probe attached to it by subclassing.
class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hWnd = ::CreateWindowExA(0, "STATIC", "static text", WS_POPUP, 0, 0, 50, 20, NULL, NULL, NULL, NULL);
        ASSERT_NE(m_hWnd, nullptr);
        ASSERT_TRUE(m_probe.SubclassWindow(m_hWnd));
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageA(m_hWnd, message, wParam, lParam); }

    HWND m_hWnd = NULL;
    CDerivedProbe m_probe;
};

TEST_F(MessageMapTest, DispatchWalksFromTheClassToItsBases)
{
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LRESULT result;
        std::string calls;
    };
    const Case cases[] = {
        {"the derived entry hides the base's", WM_BOTH, 0, 10, "derived;"},
        {"an entry of the base alone", WM_BASE_ONLY, 0, 2, "base-only;"},
        {"a command by notification and id", WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0, "clicked;"},
        {"another notification of the same control", WM_COMMAND, MAKEWPARAM(kButton, EN_CHANGE), 0, ""},
        {"another control with the same notification", WM_COMMAND, MAKEWPARAM(kButton + 1, BN_CLICKED), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_probe.m_calls.clear();
        EXPECT_EQ(Send(c.message, c.wParam), c.result);
        EXPECT_EQ(m_probe.m_calls, c.calls);
    }
}

TEST_F(MessageMapTest, UnmappedMessagesGetTheControlsOwnProcessing)
{
    char text[32] = {};
    EXPECT_EQ(Send(WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 11);
    EXPECT_STREQ(text, "static text");
    EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), &m_probe);
}

TEST_F(MessageMapTest, CommandsThatNoWindowMapsGoToTheApplication)
{
    CProbeApp app;
    Send(WM_COMMAND, MAKEWPARAM(kAppCommand, 0));
    Send(WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED));
    EXPECT_EQ(app.m_nCommands, 1);
    EXPECT_EQ(m_probe.m_calls, "clicked;");
}

TEST_F(MessageMapTest, EscapedExceptionIsReportedAndTheMessageCountsAsHandled)
{
    struct Case {
        const char* what;
        std::function<void()> raise;
        CapturedMessage expected;
    };
    const Case cases[] = {
        {"archive error", [] { throw CArchiveException(CArchiveException::badIndex, "C:\\b.exe"); },
         {"C:\\b.exe has a bad format.", MB_ICONERROR}},
        {"file error", [] { throw CFileException(CFileException::diskFull, 112, "C:\\b_new.exe"); },
         {"Disk full while accessing C:\\b_new.exe.", MB_ICONERROR}},
        {"exhausted memory", [] { throw CMemoryException(); }, {"Out of memory.", 0x1030}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture messages;
        m_probe.m_raise = c.raise;
        EXPECT_EQ(Send(WM_THROW), 0);
        EXPECT_EQ(messages.Messages(), std::vector<CapturedMessage>{c.expected});
        // The window is still there and its messages still reach the map.
        m_probe.m_calls.clear();
        EXPECT_EQ(Send(WM_BASE_ONLY), 2);
        EXPECT_EQ(m_probe.m_calls, "base-only;");
    }
}

TEST_F(MessageMapTest, SubclassingEndsWithTheWindow)
{
    ::DestroyWindow(m_hWnd);
    EXPECT_EQ(m_probe.m_hWnd, nullptr);

    // The object can be attached again, and a window has only one object.
    const HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    EXPECT_TRUE(m_probe.SubclassWindow(other));
    CDerivedProbe second;
    EXPECT_FALSE(second.SubclassWindow(other));
    EXPECT_EQ(::SendMessageA(other, WM_BASE_ONLY, 0, 0), 2);
    ::DestroyWindow(other);
}

}  // namespace
