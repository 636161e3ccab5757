// Small PE32 images for tests, written from the published PE/COFF and resource formats:
// a DOS header, the NT headers, a section table and the sections' raw data, the last of
// which holds a resource tree (type, name, language, data) that the test describes.
//
//   PeImage book = PeBuilder().AddIconSet({Icon32()}, 7).Build();   // like a template book
//   WriteFileBytes(path, book.bytes);
//   std::uint32_t at = book.Find(kRtIcon, 1).data;                   // where image 1 stands
//
// The layout is fixed and documented below, so a test can also damage an image on
// purpose (PutWord / PutDword at the offsets that PeImage reports).
#pragma once

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;
constexpr std::uint16_t kLangEnglishUs = 0x0409;

// A resource type, name or language: a number, or a string (a named entry) when name is
// not empty. Named entries are written as length-prefixed UTF-16 strings.
struct PeResourceId {
    PeResourceId(std::uint16_t number) : id(number) {}  // NOLINT: implicit, reads as a number
    PeResourceId(const char* text) : name(text) {}       // NOLINT: implicit, reads as a name
    bool IsNamed() const { return !name.empty(); }
    bool operator==(const PeResourceId& other) const { return id == other.id && name == other.name; }

    std::uint16_t id = 0;
    std::string name;
};

// One GRPICONDIRENTRY as a group icon lists it.
struct GroupIconEntry {
    std::uint8_t width;
    std::uint8_t height;
    std::uint8_t colorCount;
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t bytesInRes;
    std::uint16_t id;
};

// The template engine's icon entry: 32x32 pixels, 16 colours, 1 plane, 4 bits, 744 bytes.
GroupIconEntry Icon32(std::uint16_t id = 1, std::uint32_t bytesInRes = 744);
// The 16x16 16-colour entry that older books carry as well: 296 bytes.
GroupIconEntry Icon16(std::uint16_t id = 2, std::uint32_t bytesInRes = 296);
// An entry of any other width (48, 24, ...), square, 256 colours.
GroupIconEntry IconOfWidth(std::uint8_t width, std::uint16_t id, std::uint32_t bytesInRes);

// Group icon data: GRPICONDIR (reserved 0, type 1, count) and the entries, as listed.
Bytes GroupIconData(const std::vector<GroupIconEntry>& entries);
// Image bytes of the given size. They are a pattern, not a real bitmap: images are copied
// without being decoded. Different seeds give different bytes at every position.
Bytes IconImage(std::uint32_t size, std::uint8_t seed);

// Where the builder put the pieces of one resource, as file offsets.
struct PeResourcePlacement {
    std::uint32_t typeEntry;          // the root's IMAGE_RESOURCE_DIRECTORY_ENTRY for the type
    std::uint32_t nameDirectory;      // the type's IMAGE_RESOURCE_DIRECTORY
    std::uint32_t nameEntry;          // its entry for the name
    std::uint32_t languageDirectory;  // the name's IMAGE_RESOURCE_DIRECTORY
    std::uint32_t languageEntry;      // its entry for the language
    std::uint32_t dataEntry;          // the IMAGE_RESOURCE_DATA_ENTRY
    std::uint32_t data;               // the first byte of the resource's data
    std::uint32_t size;               // its length
};

// A built image and where its parts stand.
struct PeImage {
    Bytes bytes;
    std::uint32_t ntHeaders = 0;     // e_lfanew
    std::uint32_t sectionTable = 0;  // the first IMAGE_SECTION_HEADER
    std::uint32_t rsrcOffset = 0;    // the resource section's PointerToRawData: the root directory
    std::uint32_t rsrcAddress = 0;   // and its VirtualAddress

    // The placement of a resource; throws std::out_of_range when the image has none.
    const PeResourcePlacement& Find(const PeResourceId& type, const PeResourceId& name,
                                    const PeResourceId& language = kLangEnglishUs) const;
    // Little-endian overwrites, for damaging an image on purpose.
    void PutWord(std::uint32_t offset, std::uint16_t value);
    void PutDword(std::uint32_t offset, std::uint32_t value);
    // Copy of bytes with data put at offset: what a file should hold after a write there.
    Bytes With(std::uint32_t offset, const Bytes& data) const;

    struct Placed {
        PeResourceId type, name, language;
        PeResourcePlacement placement;
    };
    std::vector<Placed> resources;
};

// Layout of a built image: DOS header at 0 (e_lfanew 0x80), NT headers at 0x80, then the
// section table; each section's raw data starts on a 0x200 boundary and its virtual address
// on a 0x1000 boundary (the first at 0x1000). In the resource section come the root
// directory, the type directories, the name directories (each with its entries), then the
// entry names, the data entries and finally the data, each on a 4-byte boundary, in tree
// order. Named entries stand before ID entries in every directory, in the order they were
// added; IDs ascend; languages keep the order they were added in.
class PeBuilder {
public:
    // The file header's Machine; i386 (0x014C) unless set.
    PeBuilder& Machine(std::uint16_t machine);
    // A PE32+ optional header (Magic 0x020B, 240 bytes) instead of the PE32 one (0x010B,
    // 224 bytes). The machine stays as set.
    PeBuilder& Pe32Plus();
    // The resource section's 8 name bytes; shorter names are padded with NULs, and a
    // std::string with embedded NULs sets every byte. ".rsrc" unless set.
    PeBuilder& ResourceSectionName(const std::string& name);
    // A section of raw data in front of the resource section, in the order of the calls.
    PeBuilder& AddSection(const std::string& name, Bytes data);
    // A resource of the given type and name in one language.
    PeBuilder& AddResource(const PeResourceId& type, const PeResourceId& name, Bytes data,
                           const PeResourceId& language = kLangEnglishUs);
    // Group icon groupId listing entries.
    PeBuilder& AddGroupIcon(const PeResourceId& groupId, const std::vector<GroupIconEntry>& entries,
                            const PeResourceId& language = kLangEnglishUs);
    // An RT_ICON image.
    PeBuilder& AddIconImage(const PeResourceId& id, Bytes image, const PeResourceId& language = kLangEnglishUs);
    // Group icon 128 listing entries, and for each entry with bytes an image of that many
    // bytes under its id (IconImage(bytesInRes, seed + its position in the list)).
    PeBuilder& AddIconSet(const std::vector<GroupIconEntry>& entries, std::uint8_t seed);

    PeImage Build() const;

private:
    struct Section {
        std::string name;
        Bytes data;
    };
    struct Resource {
        PeResourceId type, name, language;
        Bytes data;
    };

    std::uint16_t m_machine = 0x014C;
    bool m_pe32Plus = false;
    std::string m_resourceSectionName = ".rsrc";
    std::vector<Section> m_sections;
    std::vector<Resource> m_resources;
};
