#include "patch/pe_reader.h"

#include <cstring>

namespace pe {

const BYTE* CByteReader::Take(size_t count)
{
    if (m_bOverrun || count > m_nSize - m_nPos) {
        m_bOverrun = TRUE;
        return NULL;
    }
    const BYTE* at = m_pData + m_nPos;
    m_nPos += count;
    return at;
}

BYTE CByteReader::Byte()
{
    const BYTE* at = Take(1);
    return at ? at[0] : BYTE{0};
}

WORD CByteReader::Word()
{
    const BYTE* at = Take(2);
    return at ? static_cast<WORD>(at[0] | (at[1] << 8)) : WORD{0};
}

DWORD CByteReader::Dword()
{
    const BYTE* at = Take(4);
    if (!at)
        return 0;
    return static_cast<DWORD>(at[0]) | static_cast<DWORD>(at[1]) << 8 | static_cast<DWORD>(at[2]) << 16 |
           static_cast<DWORD>(at[3]) << 24;
}

LONG CByteReader::Long() { return static_cast<LONG>(Dword()); }

void CByteReader::Bytes(BYTE* out, size_t count)
{
    if (const BYTE* at = Take(count))
        std::memcpy(out, at, count);
    else
        std::memset(out, 0, count);
}

namespace {

void Read(CByteReader& r, IMAGE_FILE_HEADER& out)
{
    out.Machine = r.Word();
    out.NumberOfSections = r.Word();
    out.TimeDateStamp = r.Dword();
    out.PointerToSymbolTable = r.Dword();
    out.NumberOfSymbols = r.Dword();
    out.SizeOfOptionalHeader = r.Word();
    out.Characteristics = r.Word();
}

void Read(CByteReader& r, IMAGE_OPTIONAL_HEADER32& out)
{
    out.Magic = r.Word();
    out.MajorLinkerVersion = r.Byte();
    out.MinorLinkerVersion = r.Byte();
    out.SizeOfCode = r.Dword();
    out.SizeOfInitializedData = r.Dword();
    out.SizeOfUninitializedData = r.Dword();
    out.AddressOfEntryPoint = r.Dword();
    out.BaseOfCode = r.Dword();
    out.BaseOfData = r.Dword();
    out.ImageBase = r.Dword();
    out.SectionAlignment = r.Dword();
    out.FileAlignment = r.Dword();
    out.MajorOperatingSystemVersion = r.Word();
    out.MinorOperatingSystemVersion = r.Word();
    out.MajorImageVersion = r.Word();
    out.MinorImageVersion = r.Word();
    out.MajorSubsystemVersion = r.Word();
    out.MinorSubsystemVersion = r.Word();
    out.Win32VersionValue = r.Dword();
    out.SizeOfImage = r.Dword();
    out.SizeOfHeaders = r.Dword();
    out.CheckSum = r.Dword();
    out.Subsystem = r.Word();
    out.DllCharacteristics = r.Word();
    out.SizeOfStackReserve = r.Dword();
    out.SizeOfStackCommit = r.Dword();
    out.SizeOfHeapReserve = r.Dword();
    out.SizeOfHeapCommit = r.Dword();
    out.LoaderFlags = r.Dword();
    out.NumberOfRvaAndSizes = r.Dword();
    for (IMAGE_DATA_DIRECTORY& directory : out.DataDirectory) {
        directory.VirtualAddress = r.Dword();
        directory.Size = r.Dword();
    }
}

}  // namespace

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_DOS_HEADER& out)
{
    CByteReader r(bytes, size);
    out.e_magic = r.Word();
    out.e_cblp = r.Word();
    out.e_cp = r.Word();
    out.e_crlc = r.Word();
    out.e_cparhdr = r.Word();
    out.e_minalloc = r.Word();
    out.e_maxalloc = r.Word();
    out.e_ss = r.Word();
    out.e_sp = r.Word();
    out.e_csum = r.Word();
    out.e_ip = r.Word();
    out.e_cs = r.Word();
    out.e_lfarlc = r.Word();
    out.e_ovno = r.Word();
    for (WORD& reserved : out.e_res)
        reserved = r.Word();
    out.e_oemid = r.Word();
    out.e_oeminfo = r.Word();
    for (WORD& reserved : out.e_res2)
        reserved = r.Word();
    out.e_lfanew = r.Long();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_NT_HEADERS32& out)
{
    CByteReader r(bytes, size);
    out.Signature = r.Dword();
    Read(r, out.FileHeader);
    Read(r, out.OptionalHeader);
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_SECTION_HEADER& out)
{
    CByteReader r(bytes, size);
    r.Bytes(out.Name, sizeof out.Name);
    out.VirtualSize = r.Dword();
    out.VirtualAddress = r.Dword();
    out.SizeOfRawData = r.Dword();
    out.PointerToRawData = r.Dword();
    out.PointerToRelocations = r.Dword();
    out.PointerToLinenumbers = r.Dword();
    out.NumberOfRelocations = r.Word();
    out.NumberOfLinenumbers = r.Word();
    out.Characteristics = r.Dword();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DIRECTORY& out)
{
    CByteReader r(bytes, size);
    out.Characteristics = r.Dword();
    out.TimeDateStamp = r.Dword();
    out.MajorVersion = r.Word();
    out.MinorVersion = r.Word();
    out.NumberOfNamedEntries = r.Word();
    out.NumberOfIdEntries = r.Word();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DIRECTORY_ENTRY& out)
{
    CByteReader r(bytes, size);
    out.Name = r.Dword();
    out.OffsetToData = r.Dword();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, IMAGE_RESOURCE_DATA_ENTRY& out)
{
    CByteReader r(bytes, size);
    out.OffsetToData = r.Dword();
    out.Size = r.Dword();
    out.CodePage = r.Dword();
    out.Reserved = r.Dword();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, GRPICONDIR& out)
{
    CByteReader r(bytes, size);
    out.idReserved = r.Word();
    out.idType = r.Word();
    out.idCount = r.Word();
    return r.IsExhausted();
}

BOOL Decode(const BYTE* bytes, size_t size, GRPICONDIRENTRY& out)
{
    CByteReader r(bytes, size);
    out.bWidth = r.Byte();
    out.bHeight = r.Byte();
    out.bColorCount = r.Byte();
    out.bReserved = r.Byte();
    out.wPlanes = r.Word();
    out.wBitCount = r.Word();
    out.dwBytesInRes = r.Dword();
    out.nID = r.Word();
    return r.IsExhausted();
}

}  // namespace pe
