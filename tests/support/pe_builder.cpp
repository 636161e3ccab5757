#include "tests/support/pe_builder.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::uint32_t kNtHeadersOffset = 0x80;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kImageBase = 0x400000;
constexpr std::uint32_t kDirectoryHeader = 16;
constexpr std::uint32_t kDirectoryEntry = 8;
constexpr std::uint32_t kDataEntry = 16;
constexpr std::uint32_t kSectionHeader = 40;
constexpr std::uint32_t kSubdirectory = 0x80000000;
constexpr std::uint32_t kNamedEntry = 0x80000000;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::size_t kDataDirectories = 16;

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

std::uint32_t Size32(std::size_t size) { return static_cast<std::uint32_t>(size); }

void PutWordAt(Bytes& bytes, std::uint32_t offset, std::uint16_t value)
{
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutDwordAt(Bytes& bytes, std::uint32_t offset, std::uint32_t value)
{
    PutWordAt(bytes, offset, static_cast<std::uint16_t>(value));
    PutWordAt(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

// Appends little-endian values, one field after another as the format lists them.
class Writer {
public:
    explicit Writer(Bytes& bytes) : m_bytes(bytes) {}
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value)
    {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value)
    {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void U64(std::uint64_t value)
    {
        U32(static_cast<std::uint32_t>(value));
        U32(static_cast<std::uint32_t>(value >> 32));
    }
    void Zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    void PadTo(std::uint32_t offset) { Zeros(offset - Size32(m_bytes.size())); }
    std::uint32_t Offset() const { return Size32(m_bytes.size()); }

private:
    Bytes& m_bytes;
};

void ExpectOffset(const Writer& out, std::uint32_t expected, const char* what)
{
    if (out.Offset() != expected)
        throw std::logic_error(std::string("pe_builder: wrong length of ") + what);
}

// The resource tree grouped by level. Offsets are from the start of the section.
struct LanguageNode {
    PeResourceId id;
    const Bytes* data;
    std::uint32_t nameOffset = 0;
    std::uint32_t dataEntry = 0;
    std::uint32_t dataOffset = 0;
};
struct NameNode {
    PeResourceId id;
    std::vector<LanguageNode> languages;
    std::uint32_t nameOffset = 0;
    std::uint32_t directory = 0;
};
struct TypeNode {
    PeResourceId id;
    std::vector<NameNode> names;
    std::uint32_t nameOffset = 0;
    std::uint32_t directory = 0;
};

// Named entries first, in the order added; then IDs ascending.
template <typename Node>
void SortAsDirectory(std::vector<Node>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(), [](const Node& a, const Node& b) {
        if (a.id.IsNamed() || b.id.IsNamed())
            return a.id.IsNamed() && !b.id.IsNamed();
        return a.id.id < b.id.id;
    });
}

template <typename Node>
Node& FindOrAdd(std::vector<Node>& nodes, const PeResourceId& id)
{
    for (Node& node : nodes)
        if (node.id == id)
            return node;
    nodes.push_back(Node{id, {}});
    return nodes.back();
}

std::uint32_t EntryName(const PeResourceId& id, std::uint32_t nameOffset)
{
    return id.IsNamed() ? (kNamedEntry | nameOffset) : id.id;
}

void WriteDirectory(Bytes& section, std::uint32_t at, std::size_t count, std::size_t named)
{
    PutWordAt(section, at + 12, static_cast<std::uint16_t>(named));
    PutWordAt(section, at + 14, static_cast<std::uint16_t>(count - named));
}

void WriteEntry(Bytes& section, std::uint32_t at, std::uint32_t name, std::uint32_t offsetToData)
{
    PutDwordAt(section, at, name);
    PutDwordAt(section, at + 4, offsetToData);
}

template <typename Node>
std::size_t CountNamed(const std::vector<Node>& nodes)
{
    return static_cast<std::size_t>(
        std::count_if(nodes.begin(), nodes.end(), [](const Node& node) { return node.id.IsNamed(); }));
}

std::uint32_t EntryAt(std::uint32_t directory, std::size_t index)
{
    return directory + kDirectoryHeader + Size32(index) * kDirectoryEntry;
}

}  // namespace

GroupIconEntry Icon32(std::uint16_t id, std::uint32_t bytesInRes) { return {32, 32, 16, 1, 4, bytesInRes, id}; }

GroupIconEntry Icon16(std::uint16_t id, std::uint32_t bytesInRes) { return {16, 16, 16, 1, 4, bytesInRes, id}; }

GroupIconEntry IconOfWidth(std::uint8_t width, std::uint16_t id, std::uint32_t bytesInRes)
{
    return {width, width, 0, 1, 8, bytesInRes, id};
}

Bytes GroupIconData(const std::vector<GroupIconEntry>& entries)
{
    Bytes bytes;
    Writer out(bytes);
    out.U16(0);
    out.U16(1);
    out.U16(static_cast<std::uint16_t>(entries.size()));
    for (const GroupIconEntry& entry : entries) {
        out.U8(entry.width);
        out.U8(entry.height);
        out.U8(entry.colorCount);
        out.U8(0);
        out.U16(entry.planes);
        out.U16(entry.bitCount);
        out.U32(entry.bytesInRes);
        out.U16(entry.id);
    }
    return bytes;
}

Bytes IconImage(std::uint32_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::uint32_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
    return bytes;
}

const PeResourcePlacement& PeImage::Find(const PeResourceId& type, const PeResourceId& name,
                                         const PeResourceId& language) const
{
    for (const Placed& placed : resources)
        if (placed.type == type && placed.name == name && placed.language == language)
            return placed.placement;
    throw std::out_of_range("pe_builder: the image holds no such resource");
}

void PeImage::PutWord(std::uint32_t offset, std::uint16_t value) { PutWordAt(bytes, offset, value); }

void PeImage::PutDword(std::uint32_t offset, std::uint32_t value) { PutDwordAt(bytes, offset, value); }

Bytes PeImage::With(std::uint32_t offset, const Bytes& data) const
{
    Bytes result = bytes;
    std::copy(data.begin(), data.end(), result.begin() + offset);
    return result;
}

PeBuilder& PeBuilder::Machine(std::uint16_t machine)
{
    m_machine = machine;
    return *this;
}

PeBuilder& PeBuilder::Pe32Plus()
{
    m_pe32Plus = true;
    return *this;
}

PeBuilder& PeBuilder::ResourceSectionName(const std::string& name)
{
    m_resourceSectionName = name;
    return *this;
}

PeBuilder& PeBuilder::AddSection(const std::string& name, Bytes data)
{
    m_sections.push_back({name, std::move(data)});
    return *this;
}

PeBuilder& PeBuilder::AddResource(const PeResourceId& type, const PeResourceId& name, Bytes data,
                                  const PeResourceId& language)
{
    m_resources.push_back({type, name, language, std::move(data)});
    return *this;
}

PeBuilder& PeBuilder::AddGroupIcon(const PeResourceId& groupId, const std::vector<GroupIconEntry>& entries,
                                   const PeResourceId& language)
{
    return AddResource(kRtGroupIcon, groupId, GroupIconData(entries), language);
}

PeBuilder& PeBuilder::AddIconImage(const PeResourceId& id, Bytes image, const PeResourceId& language)
{
    return AddResource(kRtIcon, id, std::move(image), language);
}

PeBuilder& PeBuilder::AddIconSet(const std::vector<GroupIconEntry>& entries, std::uint8_t seed)
{
    AddGroupIcon(128, entries);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].bytesInRes != 0)
            AddIconImage(entries[i].id, IconImage(entries[i].bytesInRes, static_cast<std::uint8_t>(seed + i)));
    return *this;
}

PeImage PeBuilder::Build() const
{
    PeImage image;

    // Sections and their places.
    struct SectionPlace {
        const std::string* name;
        std::uint32_t virtualSize, virtualAddress, rawSize, rawPointer;
    };
    const std::uint32_t optionalHeaderSize = m_pe32Plus ? 240 : 224;
    image.ntHeaders = kNtHeadersOffset;
    image.sectionTable = kNtHeadersOffset + 24 + optionalHeaderSize;
    const std::uint32_t sectionCount = Size32(m_sections.size()) + 1;
    const std::uint32_t headersSize = AlignUp(image.sectionTable + sectionCount * kSectionHeader, kFileAlignment);
    std::vector<SectionPlace> placed;
    std::uint32_t rawPointer = headersSize;
    std::uint32_t virtualAddress = kSectionAlignment;
    auto place = [&](const std::string& name, std::uint32_t size) {
        placed.push_back({&name, size, virtualAddress, AlignUp(size, kFileAlignment), rawPointer});
        rawPointer += placed.back().rawSize;
        virtualAddress += AlignUp(std::max<std::uint32_t>(size, 1), kSectionAlignment);
    };
    for (const Section& section : m_sections)
        place(section.name, Size32(section.data.size()));
    image.rsrcAddress = virtualAddress;
    image.rsrcOffset = rawPointer;

    // The resource tree, grouped and ordered as a resource directory wants it.
    std::vector<TypeNode> types;
    for (const Resource& resource : m_resources) {
        NameNode& name = FindOrAdd(FindOrAdd(types, resource.type).names, resource.name);
        name.languages.push_back(LanguageNode{resource.language, &resource.data});
    }
    SortAsDirectory(types);
    for (TypeNode& type : types)
        SortAsDirectory(type.names);

    std::uint32_t offset = kDirectoryHeader + Size32(types.size()) * kDirectoryEntry;
    for (TypeNode& type : types) {
        type.directory = offset;
        offset += kDirectoryHeader + Size32(type.names.size()) * kDirectoryEntry;
    }
    for (TypeNode& type : types)
        for (NameNode& name : type.names) {
            name.directory = offset;
            offset += kDirectoryHeader + Size32(name.languages.size()) * kDirectoryEntry;
        }
    auto placeName = [&offset](const PeResourceId& id, std::uint32_t& nameOffset) {
        if (!id.IsNamed())
            return;
        nameOffset = offset;
        offset += 2 + 2 * Size32(id.name.size());
    };
    for (TypeNode& type : types) {
        placeName(type.id, type.nameOffset);
        for (NameNode& name : type.names) {
            placeName(name.id, name.nameOffset);
            for (LanguageNode& language : name.languages)
                placeName(language.id, language.nameOffset);
        }
    }
    offset = AlignUp(offset, 4);
    for (TypeNode& type : types)
        for (NameNode& name : type.names)
            for (LanguageNode& language : name.languages) {
                language.dataEntry = offset;
                offset += kDataEntry;
            }
    for (TypeNode& type : types)
        for (NameNode& name : type.names)
            for (LanguageNode& language : name.languages) {
                language.dataOffset = AlignUp(offset, 4);
                offset = language.dataOffset + Size32(language.data->size());
            }

    Bytes resources(offset);
    const std::uint32_t base = image.rsrcOffset;
    auto writeName = [&resources](const PeResourceId& id, std::uint32_t at) {
        if (!id.IsNamed())
            return;
        PutWordAt(resources, at, static_cast<std::uint16_t>(id.name.size()));
        for (std::size_t i = 0; i < id.name.size(); ++i)
            PutWordAt(resources, at + 2 + 2 * Size32(i), static_cast<std::uint8_t>(id.name[i]));
    };
    WriteDirectory(resources, 0, types.size(), CountNamed(types));
    for (std::size_t t = 0; t < types.size(); ++t) {
        const TypeNode& type = types[t];
        WriteEntry(resources, EntryAt(0, t), EntryName(type.id, type.nameOffset), kSubdirectory | type.directory);
        writeName(type.id, type.nameOffset);
        WriteDirectory(resources, type.directory, type.names.size(), CountNamed(type.names));
        for (std::size_t n = 0; n < type.names.size(); ++n) {
            const NameNode& name = type.names[n];
            WriteEntry(resources, EntryAt(type.directory, n), EntryName(name.id, name.nameOffset),
                       kSubdirectory | name.directory);
            writeName(name.id, name.nameOffset);
            WriteDirectory(resources, name.directory, name.languages.size(), CountNamed(name.languages));
            for (std::size_t l = 0; l < name.languages.size(); ++l) {
                const LanguageNode& language = name.languages[l];
                WriteEntry(resources, EntryAt(name.directory, l), EntryName(language.id, language.nameOffset),
                           language.dataEntry);
                writeName(language.id, language.nameOffset);
                PutDwordAt(resources, language.dataEntry, image.rsrcAddress + language.dataOffset);
                PutDwordAt(resources, language.dataEntry + 4, Size32(language.data->size()));
                std::copy(language.data->begin(), language.data->end(), resources.begin() + language.dataOffset);
                image.resources.push_back({type.id, name.id, language.id,
                                           {base + EntryAt(0, t), base + type.directory,
                                            base + EntryAt(type.directory, n), base + name.directory,
                                            base + EntryAt(name.directory, l), base + language.dataEntry,
                                            base + language.dataOffset, Size32(language.data->size())}});
            }
        }
    }
    place(m_resourceSectionName, Size32(resources.size()));
    const std::uint32_t imageSize = virtualAddress;

    // Headers.
    Writer out(image.bytes);
    out.U16(0x5A4D);  // e_magic "MZ"
    out.U16(0x90);    // e_cblp
    out.U16(3);       // e_cp
    out.U16(0);       // e_crlc
    out.U16(4);       // e_cparhdr
    out.U16(0);       // e_minalloc
    out.U16(0xFFFF);  // e_maxalloc
    out.U16(0);       // e_ss
    out.U16(0xB8);    // e_sp
    out.U16(0);       // e_csum
    out.U16(0);       // e_ip
    out.U16(0);       // e_cs
    out.U16(0x40);    // e_lfarlc
    out.U16(0);       // e_ovno
    out.Zeros(8);     // e_res
    out.U16(0);       // e_oemid
    out.U16(0);       // e_oeminfo
    out.Zeros(20);    // e_res2
    out.U32(kNtHeadersOffset);
    ExpectOffset(out, 64, "the DOS header");
    out.PadTo(kNtHeadersOffset);

    out.U32(0x4550);  // "PE\0\0"
    out.U16(m_machine);
    out.U16(static_cast<std::uint16_t>(sectionCount));
    out.U32(0);  // TimeDateStamp
    out.U32(0);  // PointerToSymbolTable
    out.U32(0);  // NumberOfSymbols
    out.U16(static_cast<std::uint16_t>(optionalHeaderSize));
    out.U16(m_pe32Plus ? 0x0022 : 0x010F);  // executable; 32-bit machine or large-address aware

    std::uint32_t codeSize = 0;
    std::uint32_t dataSize = 0;
    for (const SectionPlace& section : placed)
        (*section.name == ".text" ? codeSize : dataSize) += section.rawSize;
    out.U16(m_pe32Plus ? 0x020B : 0x010B);
    out.U8(6);  // linker version
    out.U8(0);
    out.U32(codeSize);
    out.U32(dataSize);
    out.U32(0);                             // SizeOfUninitializedData
    out.U32(placed.front().virtualAddress);  // AddressOfEntryPoint
    out.U32(placed.front().virtualAddress);  // BaseOfCode
    if (m_pe32Plus) {
        out.U64(kImageBase);
    } else {
        out.U32(placed.front().virtualAddress);  // BaseOfData
        out.U32(kImageBase);
    }
    out.U32(kSectionAlignment);
    out.U32(kFileAlignment);
    out.U16(4);  // operating system version
    out.U16(0);
    out.U16(0);  // image version
    out.U16(0);
    out.U16(4);  // subsystem version
    out.U16(0);
    out.U32(0);  // Win32VersionValue
    out.U32(imageSize);
    out.U32(headersSize);
    out.U32(0);  // CheckSum
    out.U16(2);  // Windows GUI
    out.U16(0);  // DllCharacteristics
    for (const std::uint64_t size : {0x100000u, 0x1000u, 0x100000u, 0x1000u}) {  // stack and heap
        if (m_pe32Plus)
            out.U64(size);
        else
            out.U32(static_cast<std::uint32_t>(size));
    }
    out.U32(0);  // LoaderFlags
    out.U32(kDataDirectories);
    for (std::size_t i = 0; i < kDataDirectories; ++i) {
        const bool isResources = i == kResourceDirectoryIndex;
        out.U32(isResources ? image.rsrcAddress : 0);
        out.U32(isResources ? Size32(resources.size()) : 0);
    }
    ExpectOffset(out, image.sectionTable, "the NT headers");

    for (std::size_t i = 0; i < placed.size(); ++i) {
        const SectionPlace& section = placed[i];
        std::string name = section.name->substr(0, 8);
        name.resize(8, '\0');
        for (const char c : name)
            out.U8(static_cast<std::uint8_t>(c));
        out.U32(section.virtualSize);
        out.U32(section.virtualAddress);
        out.U32(section.rawSize);
        out.U32(section.rawPointer);
        out.U32(0);  // PointerToRelocations
        out.U32(0);  // PointerToLinenumbers
        out.U16(0);  // NumberOfRelocations
        out.U16(0);  // NumberOfLinenumbers
        const bool isCode = *section.name == ".text";
        out.U32(isCode ? 0x60000020 : 0x40000040);  // code, execute, read / initialised data, read
    }
    out.PadTo(headersSize);

    // Raw data, each section padded to the file alignment.
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const Bytes& data = i < m_sections.size() ? m_sections[i].data : resources;
        image.bytes.insert(image.bytes.end(), data.begin(), data.end());
        out.PadTo(placed[i].rawPointer + placed[i].rawSize);
    }
    return image;
}
