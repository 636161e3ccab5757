// The e-book viewer engine. Run with a record tree behind its image it shows that book;
// run bare it says that it holds none. Every message goes through AfxMessageBox.
#include "engine/book.h"
#include "engine/viewer_window.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"

namespace {

constexpr char kCaption[] = "E-Book Viewer";

// The book's title: the program's file name without folder and extension.
CString BookTitle(const CString& path)
{
    const std::string& full = path.str();
    const size_t slash = full.find_last_of("\\/");
    std::string name = full.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return CString(std::move(name));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    SetMessageBoxSink([](LPCTSTR text, UINT flags) { return ::MessageBoxA(NULL, text, kCaption, flags | MB_OK); });

    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(NULL, path, MAX_PATH);

    CBook book;
    CString error;
    try {
        book.Load(path);
    } catch (CException& e) {
        error = e.GetErrorMessageText(256);
        if (error.IsEmpty())
            error = "Internal application error.";
    }
    if (!error.IsEmpty()) {
        AfxMessageBox(CString("This e-book cannot be opened:\n") + error, MB_ICONERROR);
        return 1;
    }
    if (!book.HasBook()) {
        AfxMessageBox("This program holds no e-book: there are no pages behind the viewer.", MB_ICONINFORMATION);
        return 0;
    }

    CViewerWindow window(book);
    if (!window.Create(instance, BookTitle(path) + " - E-Book Viewer", show)) {
        AfxMessageBox("The viewer window cannot be created.", MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (::GetMessageA(&message, NULL, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
