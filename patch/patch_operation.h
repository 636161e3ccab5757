// The whole upgrade of one e-book, as the "&Patch E-Book" button runs it.
#pragma once

#include "patch/record_transfer.h"
#include "platform/cstring.h"

// The template engine's executable image, written out byte for byte.
struct TemplateImage {
    const BYTE* m_pData = nullptr;
    DWORD m_nSize = 0;
};

class CPatchOperation {
public:
    CPatchOperation(CContentCopier& copier, TemplateImage engine) : m_copier(copier), m_engine(engine) {}

    // Upgrades the book at bookPath: writes the template beside it under the "_new" name,
    // carries the book's records and icon images into that file, then swaps the files: the
    // old book becomes bookPath + ".bak" (an earlier backup is replaced) and the new file
    // takes bookPath. Every outcome is reported through AfxMessageBox, success only after
    // the swap. Returns TRUE when bookPath holds the upgraded book. Whatever fails, the book
    // stays at bookPath (or, when it cannot be put back, at its backup path, as reported)
    // and no half-written new file is left behind.
    BOOL Run(const CString& bookPath);

    // Turns path, the book's path, into the new path ("_new" before its last '.') and writes
    // the template there in one write, under the wait cursor. FALSE after a failure that it
    // has reported; a file it created before the write failed is deleted again.
    BOOL WriteTemplate(CString& path);

private:
    // Deletes an earlier backup, renames the book to its backup and the new file to the
    // book; puts the book back when the second rename fails.
    BOOL SwapFiles(const CString& bookPath, const CString& newPath);

    CContentCopier& m_copier;
    TemplateImage m_engine;
};
