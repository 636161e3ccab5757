// The exception family of the platform. Exceptions are thrown by value and caught by
// reference; leaving the catch block releases them. Each can describe itself with
// GetErrorMessage, which is what every message box of the program shows.
#pragma once

#include "platform/cstring.h"
#include "platform/object.h"

class CException : public CObject {
public:
    const CRuntimeClass* GetRuntimeClass() const override;

    // Copies the description into buffer, at most maxChars - 1 characters and a NUL,
    // and returns TRUE; returns FALSE (buffer emptied) when there is no description.
    // The help context is never filled.
    virtual BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = NULL) const;

    // The description cut as GetErrorMessage into a buffer of maxChars would cut it;
    // empty when there is none.
    CString GetErrorMessageText(UINT maxChars) const;

    static const CRuntimeClass classCException;

protected:
    // Writes text into buffer the way every GetErrorMessage does.
    static BOOL CopyMessage(const CString& text, LPTSTR buffer, UINT maxChars);
};

class CFileException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = NULL);

    const CRuntimeClass* GetRuntimeClass() const override;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = NULL) const override;

    // The cause for a system error code (errno natively, GetLastError on Windows).
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;

    static const CRuntimeClass classCFileException;
};

class CArchiveException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    CArchiveException(int cause = none, LPCTSTR fileName = NULL);

    const CRuntimeClass* GetRuntimeClass() const override;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = NULL) const override;

    int m_cause;
    CString m_strFileName;

    static const CRuntimeClass classCArchiveException;
};

class CMemoryException : public CException {
public:
    const CRuntimeClass* GetRuntimeClass() const override;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = NULL) const override;

    static const CRuntimeClass classCMemoryException;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCTSTR fileName = NULL);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR fileName = NULL);
[[noreturn]] void AfxThrowMemoryException();

// Runs allocate() and turns the standard library's allocation failure into CMemoryException.
template <typename F>
auto AfxAllocate(F allocate) -> decltype(allocate())
{
    try {
        return allocate();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}
