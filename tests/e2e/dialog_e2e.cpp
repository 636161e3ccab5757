// The main dialog as a person meets it: focus at start, the ways to close it, the About
// box from the system menu, and the browse dialog.
#include "tests/e2e/e2e_fixture.h"

#include <functional>
#include <string>

namespace {

class DialogE2E : public E2ETest {};

TEST_F(DialogE2E, StartsWithFocusInTheEmptyPathField)
{
    CTomeshiftSession session(Exe());
    ASSERT_NE(session.WaitForDialog(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return session.FocusWindow() == ::GetDlgItem(session.m_hDialog, 1000); }, 3000));
    EXPECT_EQ(ItemText(session.m_hDialog, 1000), "");
    EXPECT_EQ(ItemText(session.m_hDialog, 1002), "&Patch E-Book");
}

TEST_F(DialogE2E, MnemonicsMoveToThePathFieldAndPressPatch)
{
    CTomeshiftSession session(Exe());
    const HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const HWND edit = ::GetDlgItem(dialog, 1000);
    ASSERT_TRUE(WaitFor([&] { return session.FocusWindow() == edit; }, 3000));

    session.PressKey(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return session.FocusWindow() == ::GetDlgItem(dialog, 1001); }, 3000));
    session.PressAlt('e');
    EXPECT_TRUE(WaitFor([&] { return session.FocusWindow() == edit; }, 3000));

    session.PressAlt('p');
    const MessageBoxText box = session.TakeMessageBox();
    EXPECT_EQ(box.caption, "Tomeshift");
    EXPECT_EQ(box.text, "Please select correct path for E-Book!");
}

struct CloseCase {
    const char* what;
    std::function<void(CTomeshiftSession&, HWND)> close;
};

// The ways a person closes a dialog: its button, Enter, Escape or the close box.
void PostCommand(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
void PostCloseBox(HWND window) { ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST_F(DialogE2E, CancelEscapeAndTheCloseBoxEndTheProgram)
{
    const CloseCase cases[] = {
        {"Cancel", [](CTomeshiftSession&, HWND dialog) { PostCommand(dialog, IDCANCEL); }},
        {"Escape", [](CTomeshiftSession& s, HWND) { s.PressKey(VK_ESCAPE); }},
        {"close box", [](CTomeshiftSession&, HWND dialog) { PostCloseBox(dialog); }},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.what);
        CTomeshiftSession session(Exe());
        ASSERT_NE(session.WaitForDialog(), nullptr);
        WaitFor([&] { return session.FocusWindow() != NULL; }, 3000);
        c.close(session, session.m_hDialog);
        EXPECT_TRUE(session.Ended(5000));
        EXPECT_TRUE(session.NoMessageBox(0));
    }
}

TEST_F(DialogE2E, AboutBoxOpensFromTheSystemMenuAndClosesEveryWay)
{
    CTomeshiftSession session(Exe());
    const HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const auto waitAbout = [&] {
        return session.WaitForWindow([](HWND w) { return WindowText(w) == "About Tomeshift"; });
    };
    const CloseCase cases[] = {
        {"OK", [](CTomeshiftSession&, HWND about) { PostCommand(about, IDOK); }},
        {"Enter", [](CTomeshiftSession& s, HWND) { s.PressKey(VK_RETURN); }},
        {"Escape", [](CTomeshiftSession& s, HWND) { s.PressKey(VK_ESCAPE); }},
        {"close box", [](CTomeshiftSession&, HWND about) { PostCloseBox(about); }},
    };
    // Commands 16 to 31 are all the About entry: the system keeps the low four bits.
    WPARAM command = 16;
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.what);
        ::PostMessageA(dialog, WM_SYSCOMMAND, command, 0);
        command = command == 16 ? 31 : 16;
        const HWND about = waitAbout();
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        EXPECT_EQ(::GetWindow(about, GW_OWNER), dialog);
        if (c.what == std::string("OK"))
            Screenshot("about-box");
        WaitFor([&] { return ::GetAncestor(session.FocusWindow(), GA_ROOT) == about; }, 3000);
        c.close(session, about);
        EXPECT_TRUE(CTomeshiftSession::WaitGone(about));
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(dialog) != FALSE; }, 3000));
    }
    EXPECT_FALSE(session.Ended(0));
}

// The save-style file dialog: its file name field and its OK and Cancel.
HWND FileNameField(HWND fileDialog)
{
    const HWND combo = ::GetDlgItem(fileDialog, 0x47C);  // explorer style: a combo box
    return combo != NULL ? combo : ::GetDlgItem(fileDialog, 0x480);
}

TEST_F(DialogE2E, BrowseFillsThePathFieldAndCancelKeepsIt)
{
    CTomeshiftSession session(Exe());
    const HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ::SetDlgItemTextA(dialog, 1000, "typed by hand");
    const auto waitFileDialog = [&] {
        return session.WaitForWindow([&](HWND w) { return w != dialog && FileNameField(w) != NULL; });
    };

    // A name without extension in an existing folder, which need not exist: ".exe" is added.
    PostCommand(dialog, 1001);
    HWND fileDialog = waitFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EXPECT_EQ(::GetWindow(fileDialog, GW_OWNER), dialog);
    const std::string chosen = Path("chosen");
    ::SetWindowTextA(FileNameField(fileDialog), chosen.c_str());
    PostCommand(fileDialog, IDOK);
    EXPECT_TRUE(CTomeshiftSession::WaitGone(fileDialog));
    EXPECT_TRUE(WaitFor([&] { return ItemText(dialog, 1000) == chosen + ".exe"; }, 3000)) << ItemText(dialog, 1000);

    PostCommand(dialog, 1001);
    fileDialog = waitFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    ::SetWindowTextA(FileNameField(fileDialog), Path("other.exe").c_str());
    PostCommand(fileDialog, IDCANCEL);
    EXPECT_TRUE(CTomeshiftSession::WaitGone(fileDialog));
    ::Sleep(300);
    EXPECT_EQ(ItemText(dialog, 1000), chosen + ".exe");
    EXPECT_TRUE(session.NoMessageBox(0));
}

}  // namespace
