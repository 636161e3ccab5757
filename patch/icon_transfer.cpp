#include "patch/icon_transfer.h"

#include "platform/message_box.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr WORD kGroupIconId = 128;
constexpr BYTE kLargeWidth = 32;
constexpr BYTE kSmallWidth = 16;
constexpr size_t kDescriptionChars = 256;

// Reads one structure at the file's position. A short read decides nothing: FALSE.
template <typename T>
BOOL ReadStruct(CFile& file, T& out)
{
    std::array<BYTE, sizeof(T)> bytes{};
    if (file.Read(bytes.data(), static_cast<UINT>(bytes.size())) != bytes.size())
        return FALSE;
    return pe::Decode(bytes.data(), bytes.size(), out);
}

// Moves to position when the span bytes from there all lie in the file. Callers form
// positions in 64 bits, so no sum has wrapped; one before the start of the file is refused
// here rather than left to fail as a seek.
BOOL SeekWithin(CFile& file, std::int64_t position, std::int64_t span)
{
    const std::int64_t length = file.GetLength();
    if (position < 0 || position > length || span > length - position)
        return FALSE;
    file.Seek(static_cast<LONG>(position), CFile::begin);
    return TRUE;
}

// A directory or data entry that an entry's OffsetToData leads to.
std::int64_t InSection(DWORD rsrcOffset, DWORD offsetToData)
{
    return std::int64_t{rsrcOffset} + std::int64_t{offsetToData & pe::kOffsetMask};
}

// Resource data, addressed by its RVA. Data may stand before the section's raw data, but
// never before the start of the file.
std::int64_t DataPosition(DWORD rsrcOffset, DWORD rsrcAddress, DWORD rva)
{
    return std::int64_t{rsrcOffset} - std::int64_t{rsrcAddress} + std::int64_t{rva};
}

// Reads the directory at position and leaves the file at its first ID entry, behind the
// named ones. FALSE when the directory holds no ID entry or is cut short.
BOOL OpenIdEntries(CFile& file, std::int64_t position, pe::IMAGE_RESOURCE_DIRECTORY& directory)
{
    constexpr std::int64_t kEntrySize = sizeof(pe::IMAGE_RESOURCE_DIRECTORY_ENTRY);
    if (!SeekWithin(file, position, sizeof directory) || !ReadStruct(file, directory) ||
        directory.NumberOfIdEntries == 0)
        return FALSE;
    const std::int64_t idEntries =
        position + std::int64_t{sizeof directory} + std::int64_t{directory.NumberOfNamedEntries} * kEntrySize;
    return SeekWithin(file, idEntries, kEntrySize);
}

// The type and name levels: the first ID entry whose Name holds id in its low 16 bits.
// Its OffsetToData leads on, whatever its high bit says.
BOOL FindId(CFile& file, std::int64_t position, WORD id, DWORD& offsetToData)
{
    pe::IMAGE_RESOURCE_DIRECTORY directory{};
    if (!OpenIdEntries(file, position, directory))
        return FALSE;
    for (unsigned i = 0; i < directory.NumberOfIdEntries; ++i) {
        pe::IMAGE_RESOURCE_DIRECTORY_ENTRY entry{};
        if (!ReadStruct(file, entry))
            return FALSE;
        if ((entry.Name & 0xFFFFu) == id) {
            offsetToData = entry.OffsetToData;
            return TRUE;
        }
    }
    return FALSE;
}

// Group icons take their first language; an image must have exactly one.
enum class LanguageRule { First, Only };

// Follows type, name and language down to the resource's data entry.
BOOL FindDataEntry(CFile& file, DWORD rsrcOffset, WORD type, WORD name, LanguageRule rule,
                   pe::IMAGE_RESOURCE_DATA_ENTRY& dataEntry)
{
    DWORD names = 0;
    DWORD languages = 0;
    if (!FindId(file, rsrcOffset, type, names) || !FindId(file, InSection(rsrcOffset, names), name, languages))
        return FALSE;
    pe::IMAGE_RESOURCE_DIRECTORY directory{};
    if (!OpenIdEntries(file, InSection(rsrcOffset, languages), directory))
        return FALSE;
    if (rule == LanguageRule::Only && directory.NumberOfIdEntries != 1)
        return FALSE;
    pe::IMAGE_RESOURCE_DIRECTORY_ENTRY language{};
    if (!ReadStruct(file, language) || (language.OffsetToData & pe::kSubdirectoryFlag))
        return FALSE;
    return SeekWithin(file, InSection(rsrcOffset, language.OffsetToData), sizeof dataEntry) &&
           ReadStruct(file, dataEntry);
}

// ".rsrc" and one NUL, exactly: the last two name bytes may hold anything.
BOOL IsResourceSectionName(const BYTE (&name)[pe::kSectionNameLength])
{
    static constexpr char kName[] = ".rsrc";
    return std::memcmp(name, kName, sizeof kName) == 0;
}

}  // namespace

BOOL CIconPatcher::PatchIcons(const CString& srcPath, const CString& dstPath)
{
    try {
        CFile source(srcPath, CFile::modeRead);
        CFile destination(dstPath, CFile::modeReadWrite);
        DWORD srcOffset = 0;
        DWORD srcAddress = 0;
        if (!LocateResourceSection(source, srcOffset, srcAddress))
            return FALSE;
        DWORD dstOffset = 0;
        DWORD dstAddress = 0;
        if (!LocateResourceSection(destination, dstOffset, dstAddress))
            return FALSE;
        if (!CopyIconImages(source, srcOffset, srcAddress, destination, dstOffset, dstAddress))
            return FALSE;
        // A close that fails may have lost the images written; it must not pass as success.
        destination.Close();
        return TRUE;
    } catch (CFileException& e) {
        // Both files are closed by now, the destination first (the reverse of opening).
        ReportFileError("File error with " + e.m_strFileName, e);
        return FALSE;
    }
}

BOOL CIconPatcher::LocateResourceSection(CFile& file, DWORD& rsrcOffset, DWORD& rsrcAddress)
{
    pe::IMAGE_DOS_HEADER dos{};
    if (!ReadStruct(file, dos) || dos.e_magic != pe::kDosSignature)
        return FALSE;
    pe::IMAGE_NT_HEADERS32 nt{};
    if (!SeekWithin(file, dos.e_lfanew, sizeof nt) || !ReadStruct(file, nt))
        return FALSE;
    if (nt.Signature != pe::kNtSignature || nt.FileHeader.Machine != pe::kMachineI386 ||
        nt.OptionalHeader.Magic != pe::kPe32Magic)
        return FALSE;
    // The section table follows the 248 bytes just read; SizeOfOptionalHeader is not consulted.
    for (unsigned i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        pe::IMAGE_SECTION_HEADER section{};
        if (!ReadStruct(file, section))
            return FALSE;
        if (IsResourceSectionName(section.Name)) {
            rsrcOffset = section.PointerToRawData;
            rsrcAddress = section.VirtualAddress;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CIconPatcher::CopyIconImages(CFile& source, DWORD srcOffset, DWORD srcAddress, CFile& destination,
                                  DWORD dstOffset, DWORD dstAddress)
{
    pe::GRPICONDIRENTRY entry32{};
    pe::GRPICONDIRENTRY entry16{};
    if (!ReadGroupIcon(source, srcOffset, srcAddress, entry32, entry16))
        return FALSE;
    // The 32-pixel image is written whole before the 16-pixel one is looked up.
    for (const pe::GRPICONDIRENTRY& entry : {entry32, entry16}) {
        const DWORD count = entry.dwBytesInRes;
        if (count == 0)
            continue;
        DWORD srcSize = 0;  // not compared: the source image is as long as its group entry says
        DWORD dstSize = 0;
        if (!SeekIconImage(source, srcOffset, srcAddress, entry, srcSize) ||
            !SeekIconImage(destination, dstOffset, dstAddress, entry, dstSize))
            return FALSE;
        // A larger image would run over whatever follows the destination's image.
        if (count > dstSize)
            return FALSE;
        const std::unique_ptr<BYTE[]> image = AfxAllocate([count] { return std::make_unique<BYTE[]>(count); });
        if (source.Read(image.get(), static_cast<UINT>(count)) != count)
            return FALSE;
        destination.Write(image.get(), static_cast<UINT>(count));
    }
    return TRUE;
}

BOOL CIconPatcher::ReadGroupIcon(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress, pe::GRPICONDIRENTRY& entry32,
                                 pe::GRPICONDIRENTRY& entry16)
{
    std::vector<pe::GRPICONDIRENTRY> entries;
    if (!ReadGroupIconEntries(file, rsrcOffset, rsrcAddress, entries))
        return FALSE;
    // For each width the group's last entry wins; other widths are passed over.
    for (const pe::GRPICONDIRENTRY& entry : entries) {
        if (entry.bWidth == kLargeWidth)
            entry32 = entry;
        else if (entry.bWidth == kSmallWidth)
            entry16 = entry;
    }
    return TRUE;
}

BOOL CIconPatcher::ReadGroupIconEntries(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress,
                                        std::vector<pe::GRPICONDIRENTRY>& entries)
{
    pe::IMAGE_RESOURCE_DATA_ENTRY dataEntry{};
    pe::GRPICONDIR group{};
    if (!FindDataEntry(file, rsrcOffset, pe::kResourceTypeGroupIcon, kGroupIconId, LanguageRule::First,
                       dataEntry) ||
        !SeekWithin(file, DataPosition(rsrcOffset, rsrcAddress, dataEntry.OffsetToData), sizeof group) ||
        !ReadStruct(file, group))
        return FALSE;
    for (unsigned i = 0; i < group.idCount; ++i) {
        pe::GRPICONDIRENTRY entry{};
        if (!ReadStruct(file, entry))
            return FALSE;
        entries.push_back(entry);
    }
    return TRUE;
}

BOOL CIconPatcher::SeekIconImage(CFile& file, DWORD rsrcOffset, DWORD rsrcAddress, const pe::GRPICONDIRENTRY& entry,
                                 DWORD& dataSize)
{
    pe::IMAGE_RESOURCE_DATA_ENTRY dataEntry{};
    if (!FindDataEntry(file, rsrcOffset, pe::kResourceTypeIcon, entry.nID, LanguageRule::Only, dataEntry) ||
        !SeekWithin(file, DataPosition(rsrcOffset, rsrcAddress, dataEntry.OffsetToData), entry.dwBytesInRes))
        return FALSE;
    dataSize = dataEntry.Size;
    return TRUE;
}

void CIconPatcher::ReportFileError(const CString& text, const CFileException& failure)
{
    std::array<char, kDescriptionChars> description{};
    failure.GetErrorMessage(description.data(), static_cast<UINT>(description.size()), NULL);
    AfxMessageBox(text + "\n" + description.data(), MB_ICONERROR);
}
