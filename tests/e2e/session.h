// Running Tomeshift.exe under test and working its windows from outside, as a person
// would: find the dialog, type, press buttons, read and dismiss message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Where the programs and folders of the run are (Windows paths), from the command line.
struct E2EConfig {
    std::string tomeshift;  // the built Tomeshift.exe
    std::string marker;     // the marker program
    std::string work;       // a folder the tests may fill
    std::string shots;      // where screenshots go; empty: none are taken
};
E2EConfig& Config();

// Polls until done() holds or timeoutMs has passed; the last answer of done().
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000);

struct MessageBoxText {
    std::string caption;
    std::string text;
};

// The id of the text of a message box.
constexpr int kMessageBoxTextId = 0xFFFF;

class CTomeshiftSession {
public:
    // Starts exe; the caller waits for what it expects to appear first.
    explicit CTomeshiftSession(const std::string& exe);
    // Closes whatever of the program is still open and waits for it to end.
    ~CTomeshiftSession();
    CTomeshiftSession(const CTomeshiftSession&) = delete;
    CTomeshiftSession& operator=(const CTomeshiftSession&) = delete;

    // The main dialog (caption "Tomeshift", class "#32770", with edit 1000); NULL when it
    // does not appear in time.
    HWND WaitForDialog();
    // The first visible top-level "#32770" window of the program for which match holds.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000) const;
    // Reads the message box that the program shows next and dismisses it with OK.
    // An empty caption and text when none appears.
    MessageBoxText TakeMessageBox(DWORD timeoutMs = 10000);
    // Nothing but the main dialog is open: no message box appeared within waitMs.
    bool NoMessageBox(DWORD waitMs) const;

    // The control that has the keyboard focus in the program.
    HWND FocusWindow() const;
    // Posts a key press (down and up) to the window that has the focus.
    void PressKey(UINT virtualKey) const;
    // Posts Alt with letter (lower case) to the window that has the focus.
    void PressAlt(char letter) const;
    // Waits until the window has gone.
    static bool WaitGone(HWND window, DWORD timeoutMs = 10000);

    // TRUE once the program has ended (within timeoutMs).
    bool Ended(DWORD timeoutMs) const;

    HWND m_hDialog = NULL;

private:
    PROCESS_INFORMATION m_process{};
};

// Visible, of class "#32770", and so on.
bool IsDialogWindow(HWND window);
bool IsMessageBox(HWND window);
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// Asks the script around the run to take a screenshot of the display as shots\name.png,
// and waits until it has. Does nothing when no shots folder was given.
void Screenshot(const std::string& name);
