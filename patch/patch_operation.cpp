#include "patch/patch_operation.h"

#include "patch/icon_transfer.h"
#include "platform/escaped_exception.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"

namespace {

constexpr char kEmptyPath[] = "Please select correct path for E-Book!";
constexpr char kBadFileName[] = "Bad file name of E-Book!";
constexpr char kCannotSave[] = "Cannot save E-Book file:\n";
constexpr char kIconError[] = "There was an error during updating icon in patched E-Book!";
constexpr char kSuccess[] = "E-Book was successfully patched!";
constexpr char kCannotBackUp[] = "Cannot rename the old E-Book to:\n";
constexpr char kCannotReplace[] = "Cannot rename the patched E-Book to:\n";
constexpr char kSavedAt[] = "\nThe patched E-Book was saved as:\n";
constexpr char kOldBookAt[] = "\nThe old E-Book was saved as:\n";

constexpr UINT kMessageBufferSize = 256;

}  // namespace

BOOL CPatchOperation::Run(const CString& bookPath)
{
    if (bookPath.IsEmpty()) {
        AfxMessageBox(kEmptyPath, MB_ICONWARNING);
        return FALSE;
    }
    CString newPath = bookPath;
    if (!WriteTemplate(newPath))
        return FALSE;

    // Whatever goes wrong from here on, the new file is not left beside the book.
    try {
        if (!m_copier.CopyContent(bookPath, newPath)) {
            RemoveFile(newPath);
            return FALSE;
        }
        CIconPatcher icons;
        if (!icons.PatchIcons(bookPath, newPath)) {
            AfxMessageBox(kIconError, MB_ICONINFORMATION);
            RemoveFile(newPath);
            return FALSE;
        }
    } catch (...) {
        ReportEscapedException();
        RemoveFile(newPath);
        return FALSE;
    }
    return SwapFiles(bookPath, newPath);
}

BOOL CPatchOperation::WriteTemplate(CString& path)
{
    CWaitCursor wait;
    const int dot = path.ReverseFind('.');
    if (dot < 0) {
        AfxMessageBox(kBadFileName, MB_ICONERROR);
        return FALSE;
    }
    path.Insert(dot, "_new");

    bool created = false;
    bool failed = false;
    CString failure;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        created = true;
        file.Write(m_engine.m_pData, m_engine.m_nSize);
        file.Close();
    } catch (CFileException& e) {
        failed = true;
        failure = e.GetErrorMessageText(kMessageBufferSize);
    }
    if (failed) {
        AfxMessageBox(kCannotSave + failure, MB_ICONERROR);
        if (created)
            RemoveFile(path);
        return FALSE;
    }
    return TRUE;
}

BOOL CPatchOperation::SwapFiles(const CString& bookPath, const CString& newPath)
{
    const CString backupPath = bookPath + ".bak";
    RemoveFile(backupPath);
    if (!RenameFile(bookPath, backupPath)) {
        AfxMessageBox(kCannotBackUp + backupPath + kSavedAt + newPath, MB_ICONERROR);
        return FALSE;
    }
    if (!RenameFile(newPath, bookPath)) {
        CString message = kCannotReplace + bookPath + kSavedAt + newPath;
        if (!RenameFile(backupPath, bookPath))
            message += kOldBookAt + backupPath;
        AfxMessageBox(message, MB_ICONERROR);
        return FALSE;
    }
    AfxMessageBox(kSuccess, MB_ICONINFORMATION);
    return TRUE;
}
