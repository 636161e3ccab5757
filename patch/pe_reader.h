// The structures of a PE/COFF image and of an icon group that the icon transfer reads,
// laid out as they stand on disk, and the one bounds-checked reader that decodes them from
// little-endian bytes field by field. A buffer is never cast to a structure: the files come
// from the user and may hold anything.
//
// The names live in namespace pe, since the Windows headers define the same structures
// (and macros such as RT_ICON) in the global namespace.
#pragma once

#include "platform/types.h"

#include <cstddef>

namespace pe {

constexpr WORD kDosSignature = 0x5A4D;   // "MZ"
constexpr DWORD kNtSignature = 0x4550;   // "PE\0\0"
constexpr WORD kMachineI386 = 0x014C;
constexpr WORD kPe32Magic = 0x010B;      // PE32+ images carry 0x020B
constexpr WORD kResourceTypeIcon = 3;
constexpr WORD kResourceTypeGroupIcon = 14;
constexpr DWORD kSubdirectoryFlag = 0x80000000;  // in an entry's OffsetToData
constexpr DWORD kOffsetMask = 0x7FFFFFFF;

struct IMAGE_DOS_HEADER {
    WORD e_magic;
    WORD e_cblp;
    WORD e_cp;
    WORD e_crlc;
    WORD e_cparhdr;
    WORD e_minalloc;
    WORD e_maxalloc;
    WORD e_ss;
    WORD e_sp;
    WORD e_csum;
    WORD e_ip;
    WORD e_cs;
    WORD e_lfarlc;
    WORD e_ovno;
    WORD e_res[4];
    WORD e_oemid;
    WORD e_oeminfo;
    WORD e_res2[10];
    LONG e_lfanew;
};
static_assert(sizeof(IMAGE_DOS_HEADER) == 64);

struct IMAGE_FILE_HEADER {
    WORD Machine;
    WORD NumberOfSections;
    DWORD TimeDateStamp;
    DWORD PointerToSymbolTable;
    DWORD NumberOfSymbols;
    WORD SizeOfOptionalHeader;
    WORD Characteristics;
};
static_assert(sizeof(IMAGE_FILE_HEADER) == 20);

struct IMAGE_DATA_DIRECTORY {
    DWORD VirtualAddress;
    DWORD Size;
};
static_assert(sizeof(IMAGE_DATA_DIRECTORY) == 8);

constexpr size_t kDataDirectoryCount = 16;

struct IMAGE_OPTIONAL_HEADER32 {
    WORD Magic;
    BYTE MajorLinkerVersion;
    BYTE MinorLinkerVersion;
    DWORD SizeOfCode;
    DWORD SizeOfInitializedData;
    DWORD SizeOfUninitializedData;
    DWORD AddressOfEntryPoint;
    DWORD BaseOfCode;
    DWORD BaseOfData;
    DWORD ImageBase;
    DWORD SectionAlignment;
    DWORD FileAlignment;
    WORD MajorOperatingSystemVersion;
    WORD MinorOperatingSystemVersion;
    WORD MajorImageVersion;
    WORD MinorImageVersion;
    WORD MajorSubsystemVersion;
    WORD MinorSubsystemVersion;
    DWORD Win32VersionValue;
    DWORD SizeOfImage;
    DWORD SizeOfHeaders;
    DWORD CheckSum;
    WORD Subsystem;
    WORD DllCharacteristics;
    DWORD SizeOfStackReserve;
    DWORD SizeOfStackCommit;
    DWORD SizeOfHeapReserve;
    DWORD SizeOfHeapCommit;
    DWORD LoaderFlags;
    DWORD NumberOfRvaAndSizes;
    IMAGE_DATA_DIRECTORY DataDirectory[kDataDirectoryCount];
};
static_assert(sizeof(IMAGE_OPTIONAL_HEADER32) == 224);

struct IMAGE_NT_HEADERS32 {
    DWORD Signature;
    IMAGE_FILE_HEADER FileHeader;
    IMAGE_OPTIONAL_HEADER32 OptionalHeader;
};
static_assert(sizeof(IMAGE_NT_HEADERS32) == 248);

constexpr size_t kSectionNameLength = 8;

struct IMAGE_SECTION_HEADER {
    BYTE Name[kSectionNameLength];
    DWORD VirtualSize;
    DWORD VirtualAddress;
    DWORD SizeOfRawData;
    DWORD PointerToRawData;
    DWORD PointerToRelocations;
    DWORD PointerToLinenumbers;
    WORD NumberOfRelocations;
    WORD NumberOfLinenumbers;
    DWORD Characteristics;
};
static_assert(sizeof(IMAGE_SECTION_HEADER) == 40);

struct IMAGE_RESOURCE_DIRECTORY {
    DWORD Characteristics;
    DWORD TimeDateStamp;
    WORD MajorVersion;
    WORD MinorVersion;
    WORD NumberOfNamedEntries;
    WORD NumberOfIdEntries;
};
static_assert(sizeof(IMAGE_RESOURCE_DIRECTORY) == 16);

struct IMAGE_RESOURCE_DIRECTORY_ENTRY {
    DWORD Name;          // an ID entry holds the ID in its low 16 bits
    DWORD OffsetToData;  // kSubdirectoryFlag set: leads to a directory; low 31 bits: offset in the section
};
static_assert(sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY) == 8);

struct IMAGE_RESOURCE_DATA_ENTRY {
    DWORD OffsetToData;  // the RVA of the data
    DWORD Size;
    DWORD CodePage;
    DWORD Reserved;
};
static_assert(sizeof(IMAGE_RESOURCE_DATA_ENTRY) == 16);

// The icon-group structures are packed to 2 bytes in the published format.
#pragma pack(push, 2)
struct GRPICONDIR {
    WORD idReserved;
    WORD idType;
    WORD idCount;
};
static_assert(sizeof(GRPICONDIR) == 6);

struct GRPICONDIRENTRY {
    BYTE bWidth;
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nID;
};
static_assert(sizeof(GRPICONDIRENTRY) == 14);
#pragma pack(pop)

// Reads little-endian values one after another from a run of bytes. A read that would go
// past the end yields zeros and marks the reader overrun, so a structure decoded from too
// few bytes is refused as a whole instead of resting on bytes that were never there.
class CByteReader {
public:
    CByteReader(const BYTE* data, size_t size) : m_pData(data), m_nSize(size) {}

    BYTE Byte();
    WORD Word();
    DWORD Dword();
    LONG Long();
    void Bytes(BYTE* out, size_t count);

    BOOL IsOverrun() const { return m_bOverrun; }
    // TRUE when every byte was read and none was missing.
    BOOL IsExhausted() const { return !IsOverrun() && m_nPos == m_nSize; }

private:
    // Where the next count bytes start, or NULL (and overrun) when they are not all there.
    const BYTE* Take(size_t count);

    const BYTE* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
    BOOL m_bOverrun = FALSE;
};

// Each Decode fills out from exactly the structure's on-disk bytes and returns TRUE. It
// returns FALSE when size is not that length; out must not be relied on then.
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_DOS_HEADER& out);
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_NT_HEADERS32& out);
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_SECTION_HEADER& out);
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DIRECTORY& out);
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DIRECTORY_ENTRY& out);
BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DATA_ENTRY& out);
BOOL Decode(const BYTE* bytes, size_t size, GRPICONDIR& out);
BOOL Decode(const BYTE* bytes, size_t size, GRPICONDIRENTRY& out);

}  // namespace pe
