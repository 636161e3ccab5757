#include "patch/pe_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Bytes 1, 2, 3, ...: a field read at the wrong offset, or big-endian, reads other values.
std::vector<BYTE> Ramp(size_t size)
{
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(i + 1);
    return bytes;
}

// The little-endian value of width bytes at offset of a ramp.
std::uint32_t RampValue(size_t offset, size_t width)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(static_cast<BYTE>(offset + i + 1)) << (8 * i);
    return value;
}

template <typename T>
T DecodeRamp()
{
    const std::vector<BYTE> bytes = Ramp(sizeof(T));
    T out{};
    EXPECT_TRUE(pe::Decode(bytes.data(), bytes.size(), out));
    return out;
}

TEST(PeReader, FieldsThatTakePartStandAtTheirPublishedOffsets)
{
    const auto dos = DecodeRamp<pe::IMAGE_DOS_HEADER>();
    EXPECT_EQ(dos.e_magic, RampValue(0, 2));
    EXPECT_EQ(static_cast<std::uint32_t>(dos.e_lfanew), RampValue(60, 4));

    const auto nt = DecodeRamp<pe::IMAGE_NT_HEADERS32>();
    EXPECT_EQ(nt.Signature, RampValue(0, 4));
    EXPECT_EQ(nt.FileHeader.Machine, RampValue(4, 2));
    EXPECT_EQ(nt.FileHeader.NumberOfSections, RampValue(6, 2));
    EXPECT_EQ(nt.OptionalHeader.Magic, RampValue(24, 2));
    EXPECT_EQ(nt.OptionalHeader.DataDirectory[15].Size, RampValue(244, 4)) << "the last field closes the 248 bytes";

    const auto section = DecodeRamp<pe::IMAGE_SECTION_HEADER>();
    for (size_t i = 0; i < pe::kSectionNameLength; ++i)
        EXPECT_EQ(section.Name[i], RampValue(i, 1));
    EXPECT_EQ(section.VirtualAddress, RampValue(12, 4));
    EXPECT_EQ(section.PointerToRawData, RampValue(20, 4));

    const auto directory = DecodeRamp<pe::IMAGE_RESOURCE_DIRECTORY>();
    EXPECT_EQ(directory.NumberOfNamedEntries, RampValue(12, 2));
    EXPECT_EQ(directory.NumberOfIdEntries, RampValue(14, 2));

    const auto entry = DecodeRamp<pe::IMAGE_RESOURCE_DIRECTORY_ENTRY>();
    EXPECT_EQ(entry.Name, RampValue(0, 4));
    EXPECT_EQ(entry.OffsetToData, RampValue(4, 4));

    const auto data = DecodeRamp<pe::IMAGE_RESOURCE_DATA_ENTRY>();
    EXPECT_EQ(data.OffsetToData, RampValue(0, 4));
    EXPECT_EQ(data.Size, RampValue(4, 4));

    const auto group = DecodeRamp<pe::GRPICONDIR>();
    EXPECT_EQ(group.idCount, RampValue(4, 2));

    const auto icon = DecodeRamp<pe::GRPICONDIRENTRY>();
    EXPECT_EQ(icon.bWidth, RampValue(0, 1));
    EXPECT_EQ(icon.dwBytesInRes, RampValue(8, 4));
    EXPECT_EQ(icon.nID, RampValue(12, 2));
}

TEST(PeReader, ANegativeLfanewKeepsItsSign)
{
    std::vector<BYTE> bytes(64, 0);
    bytes[60] = bytes[61] = bytes[62] = bytes[63] = 0xFF;
    pe::IMAGE_DOS_HEADER dos{};
    ASSERT_TRUE(pe::Decode(bytes.data(), bytes.size(), dos));
    EXPECT_EQ(dos.e_lfanew, -1);
}

template <typename T>
void ExpectRefusedWhenNotItsSize()
{
    const std::vector<BYTE> bytes = Ramp(sizeof(T) + 1);
    T out{};
    EXPECT_FALSE(pe::Decode(bytes.data(), sizeof(T) - 1, out)) << "one byte short, size " << sizeof(T);
    EXPECT_FALSE(pe::Decode(bytes.data(), sizeof(T) + 1, out)) << "one byte over, size " << sizeof(T);
    EXPECT_FALSE(pe::Decode(bytes.data(), 0, out)) << "nothing, size " << sizeof(T);
}

TEST(PeReader, ADecodeFromAnyOtherLengthIsRefused)
{
    ExpectRefusedWhenNotItsSize<pe::IMAGE_DOS_HEADER>();
    ExpectRefusedWhenNotItsSize<pe::IMAGE_NT_HEADERS32>();
    ExpectRefusedWhenNotItsSize<pe::IMAGE_SECTION_HEADER>();
    ExpectRefusedWhenNotItsSize<pe::IMAGE_RESOURCE_DIRECTORY>();
    ExpectRefusedWhenNotItsSize<pe::IMAGE_RESOURCE_DIRECTORY_ENTRY>();
    ExpectRefusedWhenNotItsSize<pe::IMAGE_RESOURCE_DATA_ENTRY>();
    ExpectRefusedWhenNotItsSize<pe::GRPICONDIR>();
    ExpectRefusedWhenNotItsSize<pe::GRPICONDIRENTRY>();
}

TEST(PeReader, AReadPastTheEndYieldsZeroAndStaysOverrun)
{
    const BYTE bytes[] = {0x34, 0x12, 0x56};
    pe::CByteReader reader(bytes, sizeof bytes);
    EXPECT_EQ(reader.Word(), 0x1234);
    EXPECT_FALSE(reader.IsOverrun());
    EXPECT_EQ(reader.Dword(), 0u) << "only one byte is left";
    EXPECT_TRUE(reader.IsOverrun());
    EXPECT_EQ(reader.Byte(), 0) << "a byte that is there is not read once the reader is overrun";
    EXPECT_FALSE(reader.IsExhausted());
}

}  // namespace
