// The record transfer: carries the whitelisted catalogue of an old e-book's records into a
// freshly written engine file and saves it there.
#pragma once

#include "platform/exceptions.h"
#include "store/container_file.h"

// An old e-book lacks a record every e-book carries, or carries one of the wrong size.
// It has no text of its own: whoever catches it says what went wrong.
class CEBookDataException : public CException {
public:
    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCEBookDataException;
};

class CContentCopier {
public:
    virtual ~CContentCopier() = default;

    // Carries the records of the e-book at srcPath into the file at dstPath and saves that.
    // Returns TRUE when dstPath has been saved; FALSE after a file failure in opening either
    // file, or a missing or wrong required record, each already reported with MB_ICONERROR.
    // Any other exception (a damaged tree, exhausted memory, a failure while saving) passes
    // through once both files are closed. The source is never written, and the destination
    // only by the final save.
    BOOL CopyContent(const CString& srcPath, const CString& dstPath);

    // Copies the page index (350, 2) and every page (349, id) it lists; FALSE as soon as
    // the index or a listed page is missing, or an index entry is cut short.
    BOOL CopyPages(const CUpdateFile& src, CUpdateFile& dst);
    // Copies the settings (350, 3), which must be 80 or 76 bytes, then (350, 4) to
    // (350, 14) and (350, 16) in that order; FALSE at the first one missing or wrong.
    BOOL CopyRequiredRecords(const CUpdateFile& src, CUpdateFile& dst);
    // Copies (350, 17), (350, 18) and (350, 15), in that order, where the source has them.
    void CopyOptionalRecords(const CUpdateFile& src, CUpdateFile& dst);
};
