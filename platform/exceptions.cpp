#include "platform/exceptions.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// "%1" replaced by the carried name, or by "an unnamed file" when there is none.
CString FormatWithName(LPCTSTR pattern, const CString& name)
{
    const std::string subject = name.IsEmpty() ? std::string("an unnamed file") : name.str();
    std::string text(pattern);
    const size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, subject);
    return CString(std::move(text));
}

LPCTSTR FileCauseText(int cause)
{
    switch (cause) {
    case CFileException::none: return "No error occurred.";
    case CFileException::fileNotFound: return "%1 was not found.";
    case CFileException::badPath: return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles: return "%1 could not be opened because there are too many open files.";
    case CFileException::accessDenied: return "Access to %1 was denied.";
    case CFileException::invalidFile: return "An invalid file handle was associated with %1.";
    case CFileException::removeCurrentDir: return "%1 could not be removed because it is the current directory.";
    case CFileException::directoryFull: return "%1 could not be created because the directory is full.";
    case CFileException::badSeek: return "Seek failed on %1";
    case CFileException::hardIO: return "A hardware I/O error was reported while accessing %1.";
    case CFileException::sharingViolation: return "A sharing violation occurred while accessing %1.";
    case CFileException::lockViolation: return "A locking violation occurred while accessing %1.";
    case CFileException::diskFull: return "Disk full while accessing %1.";
    case CFileException::endOfFile: return "An attempt was made to access %1 past its end.";
    default: return "An unknown error occurred while accessing %1.";
    }
}

LPCTSTR ArchiveCauseText(int cause)
{
    switch (cause) {
    case CArchiveException::none: return "No error occurred.";
    case CArchiveException::readOnly: return "An attempt was made to write to the reading %1.";
    case CArchiveException::endOfFile: return "An attempt was made to access %1 past its end.";
    case CArchiveException::writeOnly: return "An attempt was made to read from the writing %1.";
    case CArchiveException::badIndex: return "%1 has a bad format.";
    case CArchiveException::badClass: return "%1 contained an unexpected object.";
    case CArchiveException::badSchema: return "%1 contains an incorrect schema.";
    default: return "An unknown error occurred while accessing %1.";
    }
}

}  // namespace

const CRuntimeClass CException::classCException = {"CException", 0xFFFF, nullptr, &CObject::classCObject};
const CRuntimeClass CFileException::classCFileException = {"CFileException", 0xFFFF, nullptr,
                                                           &CException::classCException};
const CRuntimeClass CArchiveException::classCArchiveException = {"CArchiveException", 0xFFFF, nullptr,
                                                                 &CException::classCException};
const CRuntimeClass CMemoryException::classCMemoryException = {"CMemoryException", 0xFFFF, nullptr,
                                                               &CException::classCException};

const CRuntimeClass* CException::GetRuntimeClass() const { return &classCException; }

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT) const
{
    if (buffer && maxChars > 0)
        buffer[0] = '\0';
    return FALSE;
}

CString CException::GetErrorMessageText(UINT maxChars) const
{
    std::string buffer(maxChars, '\0');
    if (!GetErrorMessage(buffer.data(), maxChars))
        return CString();
    return CString(buffer.c_str());
}

BOOL CException::CopyMessage(const CString& text, LPTSTR buffer, UINT maxChars)
{
    if (!buffer || maxChars == 0)
        return FALSE;
    const size_t n = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(maxChars - 1));
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
    return TRUE;
}

CFileException::CFileException(int cause, LONG osError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

const CRuntimeClass* CFileException::GetRuntimeClass() const { return &classCFileException; }

BOOL CFileException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT) const
{
    return CopyMessage(FormatWithName(FileCauseText(m_cause), m_strFileName), buffer, maxChars);
}

CArchiveException::CArchiveException(int cause, LPCTSTR fileName) : m_cause(cause), m_strFileName(fileName) {}

const CRuntimeClass* CArchiveException::GetRuntimeClass() const { return &classCArchiveException; }

BOOL CArchiveException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT) const
{
    return CopyMessage(FormatWithName(ArchiveCauseText(m_cause), m_strFileName), buffer, maxChars);
}

const CRuntimeClass* CMemoryException::GetRuntimeClass() const { return &classCMemoryException; }

BOOL CMemoryException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT) const
{
    return CopyMessage("Out of memory.", buffer, maxChars);
}

void AfxThrowFileException(int cause, LONG osError, LPCTSTR fileName)
{
    throw CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR fileName) { throw CArchiveException(cause, fileName); }

void AfxThrowMemoryException() { throw CMemoryException(); }
