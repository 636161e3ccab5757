// The icon transfer: gives the new e-book file the old book's program icon by copying the
// images of width 32 and 16 that the old book's group icon 128 lists over the images with
// the same IDs in the new file, in place. Nothing else in either file changes: the source
// is only read, and the destination's directories, data entries and group icon stay as
// they were.
#pragma once

#include "patch/pe_reader.h"
#include "platform/cstring.h"
#include "platform/exceptions.h"
#include "platform/file.h"

#include <vector>

class CIconPatcher {
public:
    CIconPatcher() = default;
    CIconPatcher(const CIconPatcher&) = delete;
    CIconPatcher& operator=(const CIconPatcher&) = delete;
    virtual ~CIconPatcher() = default;

    // Copies the icon images of the e-book at srcPath into the executable at dstPath.
    // TRUE when the source's group icon 128 was read and every image of width 32 and 16
    // that it lists (none included) was found in both files and copied. A file failure is
    // reported here with MB_ICONERROR before FALSE is returned; every other FALSE comes
    // without a message. Both files are held unshared while the copy runs, and closed on
    // every way out, the destination first; exhausted memory passes through.
    BOOL PatchIcons(const CString& srcPath, const CString& dstPath);

protected:
    // Tests the DOS and NT headers of a PE32 i386 image (file at its start) and finds its
    // ".rsrc" section: rsrcOffset and rsrcAddress get its PointerToRawData and
    // VirtualAddress. FALSE when a header test fails, a header is cut short, or no section
    // is named ".rsrc" (a file without one has no resource tree to walk).
    BOOL LocateResourceSection(CFile& file, DWORD& rsrcOffset, DWORD& rsrcAddress);

    // Copies the images that the source's group icon 128 lists at width 32, then at width
    // 16, each looked up in both files by the source entry's nID. An image is refused
    // before any of it is written when it is larger than the destination's data entry says
    // or lies outside either file. An image written before a later failure stays written.
    BOOL CopyIconImages(CFile& source, DWORD srcOffset, DWORD srcAddress, CFile& destination, DWORD dstOffset,
                        DWORD dstAddress);

    // Reads the first language of group icon 128: entry32 and entry16 get the last entry
    // of width 32 and of width 16 (both left as they are when the group lists none).
    // FALSE when the group's data cannot be reached or is cut short.
    BOOL ReadGroupIcon(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress, pe::GRPICONDIRENTRY& entry32,
                       pe::GRPICONDIRENTRY& entry16);

    // Every entry of group icon 128's first language, in the group's order. FALSE when the
    // group's data cannot be reached or is cut short.
    BOOL ReadGroupIconEntries(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress,
                              std::vector<pe::GRPICONDIRENTRY>& entries);

    // Leaves file at the first byte of the image with entry's nID, whose ID directory must
    // hold exactly one language; dataSize gets that language's data entry Size. FALSE when
    // the image cannot be reached or its dwBytesInRes bytes do not all lie in the file.
    BOOL SeekIconImage(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress, const pe::GRPICONDIRENTRY& entry,
                       DWORD& dataSize);

    // Shows text, a line feed and the failure's description (at most 255 characters)
    // with MB_ICONERROR.
    void ReportFileError(const CString& text, const CFileException& failure);
};
