// The viewer's main window: the book's pages in a list box on the left and the selected
// page's text in a read-only edit control beside it.
#pragma once

#include "engine/book.h"

class CViewerWindow {
public:
    explicit CViewerWindow(const CBook& book) : m_book(book) {}
    CViewerWindow(const CViewerWindow&) = delete;
    CViewerWindow& operator=(const CViewerWindow&) = delete;

    // Registers the window class, creates and shows the window; FALSE if it cannot.
    BOOL Create(HINSTANCE instance, LPCSTR title, int show);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnCreate();
    void OnSize(int width, int height);
    void OnSelectPage();

    const CBook& m_book;
    HWND m_hWnd = NULL;
    HWND m_hPageList = NULL;
    HWND m_hPageText = NULL;
};
