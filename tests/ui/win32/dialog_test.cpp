#include "platform/exceptions.h"
#include "platform/win32/dialog.h"
#include "platform/win32/file_dialog.h"
#include "tests/support/message_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr UINT kTemplate = 200;  // test_dialog.rc
constexpr int kEdit = 300;
constexpr UINT WM_STEP = WM_APP + 1;    // runs the test's next step inside the dialog
constexpr UINT WM_ANSWER = WM_APP + 2;  // answered through the dialog's message result
constexpr int kTimedOut = -2;           // what DoModal returns when a step never ends it

// A dialog that runs the test's steps from inside its own modal loop.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(kTemplate) {}

    CString m_strText;
    std::function<void()> m_beforeInit;  // runs at the start of OnInitDialog
    std::function<void(CProbeDlg&)> m_step;

    BOOL OnInitDialog() override
    {
        // A dialog that the test fails to end ends itself, rather than hang the run.
        ::SetTimer(m_hWnd, 1, 5000, NULL);
        ::PostMessageA(m_hWnd, WM_STEP, 0, 0);
        if (m_beforeInit)
            m_beforeInit();
        return CDialog::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kEdit, m_strText); }
    LRESULT OnStep() { m_step(*this); return 0; }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x1234)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYDRAGICON()
    {WM_STEP, 0, 0, AFX_HANDLER(return self->OnStep();)},
    {WM_ANSWER, 0, 0, AFX_HANDLER(return 99;)},
    {WM_TIMER, 0, 0, AFX_HANDLER(self->EndDialog(kTimedOut); return 0;)},
END_MESSAGE_MAP()

std::string EditText(HWND dialog)
{
    char text[64] = {};
    ::GetDlgItemTextA(dialog, kEdit, text, sizeof text);
    return text;
}

TEST(DialogTest, DataExchangeFillsTheControlsAndOkReadsThemBack)
{
    CProbeDlg dlg;
    dlg.m_strText = "from the member";
    std::string shown;
    dlg.m_step = [&](CProbeDlg& d) {
        shown = EditText(d.m_hWnd);
        ::SetDlgItemTextA(d.m_hWnd, kEdit, "typed");
        ::PostMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shown, "from the member");
    EXPECT_EQ(dlg.m_strText, "typed");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(DialogTest, CancelLeavesTheMembersAlone)
{
    CProbeDlg dlg;
    dlg.m_step = [](CProbeDlg& d) {
        ::SetDlgItemTextA(d.m_hWnd, kEdit, "typed");
        ::PostMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.m_strText.IsEmpty());
}

TEST(DialogTest, HandlerResultsReachTheSender)
{
    CProbeDlg dlg;
    LRESULT dragIcon = 0;
    LRESULT answer = 0;
    dlg.m_step = [&](CProbeDlg& d) {
        // Some messages are answered by the dialog procedure's own value, the rest through
        // the message result.
        dragIcon = ::SendMessageA(d.m_hWnd, WM_QUERYDRAGICON, 0, 0);
        answer = ::SendMessageA(d.m_hWnd, WM_ANSWER, 0, 0);
        d.EndDialog(5);
    };
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_EQ(dragIcon, 0x1234);
    EXPECT_EQ(answer, 99);
}

TEST(DialogTest, DefaultPassesTheMessageToTheDialogManager)
{
    // The map takes WM_SYSCOMMAND and its handler asks for the default processing: the
    // close command then ends the dialog the way the close box does.
    CProbeDlg dlg;
    dlg.m_step = [](CProbeDlg& d) { ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(DialogTest, ExceptionInTheSetUpIsReportedAndTheDialogStillOpens)
{
    MessageCapture messages;
    CProbeDlg dlg;
    dlg.m_strText = "not reached";
    dlg.m_beforeInit = [] { throw CArchiveException(CArchiveException::badClass, "C:\\Tomeshift.exe"); };
    bool visible = false;
    std::string shown;
    dlg.m_step = [&](CProbeDlg& d) {
        visible = ::IsWindowVisible(d.m_hWnd) != FALSE;
        shown = EditText(d.m_hWnd);
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(messages.Messages(),
              std::vector<CapturedMessage>({{"C:\\Tomeshift.exe contained an unexpected object.", MB_ICONERROR}}));
    EXPECT_TRUE(visible);
    EXPECT_EQ(shown, "");  // the set-up ended before the data exchange
}

TEST(FileDialogTest, FilterBecomesTheSystemsList)
{
    using namespace std::string_literals;
    EXPECT_EQ(AfxFilterToSystemForm("Executable Files (*.exe)|*.exe|All Files (*.*)|*.*||"),
              "Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0\0\0\0"s);
    EXPECT_EQ(AfxFilterToSystemForm("A|b"), "A\0b\0\0"s);
}

TEST(FileDialogTest, FlagsExtensionAndFilterReachTheSystemsStructure)
{
    CFileDialog dialog(FALSE, "exe", NULL, OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, "A|*.a||");
    EXPECT_EQ(dialog.m_ofn.Flags & 0x80804u, 0x80804u);
    EXPECT_EQ(dialog.m_ofn.Flags & OFN_OVERWRITEPROMPT, 0u);
    EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, "exe");
    EXPECT_EQ(std::string(dialog.m_ofn.lpstrFilter, 7), std::string("A\0*.a\0\0", 7));
    EXPECT_EQ(dialog.m_ofn.nFilterIndex, 1u);
}

}  // namespace
