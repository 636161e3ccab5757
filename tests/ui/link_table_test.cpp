#include "ui/link_table.h"

#include "platform/exceptions.h"
#include "store/container_file.h"
#include "store/record_keys.h"
#include "tests/support/message_capture.h"
#include "tests/support/store_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tools/linktable/link_table_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Urls = std::array<std::string, kLinkCount>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

const std::string kDefault = "https://tomeshift.example/";

Bytes TableBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// What the dialog's four addresses become after walking record, from the defaults.
Urls ApplyRecord(const Bytes& record)
{
    CString urls[kLinkCount] = {kDefault.c_str(), kDefault.c_str(), kDefault.c_str(), kDefault.c_str()};
    WalkLinkTable(record.data(), static_cast<DWORD>(record.size()),
                  [&](const CString& tag, const CString& address) { SetLinkSlot(urls, tag, address); });
    return {urls[0].str(), urls[1].str(), urls[2].str(), urls[3].str()};
}

struct WalkCase {
    const char* what;
    std::string record;  // the bytes, NULs written as \0 with the length made explicit
    Urls expected;
};

TEST(LinkTable, WalkSetsTheSlotsThatTheTagsName)
{
    using namespace std::string_literals;
    const std::string d = kDefault;
    const WalkCase cases[] = {
        {"four pairs in slot order",
         "<%BESTSELLING%>\0a\0<%COVERGRAPHICS%>\0b\0<%MORETRAFFIC%>\0c\0<%MARKETING%>\0d\0"s, {"a", "b", "c", "d"}},
        {"the same pairs in another order",
         "<%MARKETING%>\0d\0<%MORETRAFFIC%>\0c\0<%BESTSELLING%>\0a\0<%COVERGRAPHICS%>\0b\0"s, {"a", "b", "c", "d"}},
        {"one tag only", "<%MARKETING%>\0m\0"s, {d, d, d, "m"}},
        {"a later pair with the same tag wins", "<%BESTSELLING%>\0first\0<%BESTSELLING%>\0second\0"s,
         {"second", d, d, d}},
        {"other letter case", "<%bestselling%>\0x\0"s, {d, d, d, d}},
        {"a blank before the tag", " <%BESTSELLING%>\0x\0"s, {d, d, d, d}},
        {"a blank after the tag", "<%BESTSELLING%> \0x\0"s, {d, d, d, d}},
        {"unknown tags are skipped, the walk goes on", "<%OTHER%>\0x\0\0y\0<%MORETRAFFIC%>\0c\0"s, {d, d, "c", d}},
        {"an empty address", "<%COVERGRAPHICS%>\0\0"s, {d, "", d, d}},
        {"an empty record", ""s, {d, d, d, d}},
        {"a tag at the end without its address is dropped", "<%BESTSELLING%>\0a\0<%MARKETING%>\0"s,
         {"a", d, d, d}},
        {"a last address without its NUL is dropped", "<%BESTSELLING%>\0a\0<%MARKETING%>\0cut"s, {"a", d, d, d}},
        {"a tag without its NUL", "<%MARKETING%"s, {d, d, d, d}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ApplyRecord(TableBytes(c.record)), c.expected);
    }
}

TEST(LinkTable, WalkReadsNothingPastTheRecord)
{
    // The record ends inside a longer buffer: the bytes after it must not complete the pair.
    const std::string buffer = std::string("<%MARKETING%>\0cut", 17) + std::string("\0", 1);
    CString urls[kLinkCount];
    WalkLinkTable(reinterpret_cast<const BYTE*>(buffer.data()), 17,
                  [&](const CString& tag, const CString& address) { SetLinkSlot(urls, tag, address); });
    EXPECT_TRUE(urls[3].IsEmpty());
}

TEST(LinkTable, BuiltTableWalksBackToItsPairs)
{
    const Pairs pairs = {{"<%MARKETING%>", "https://m"}, {"<%OTHER%>", ""}, {"<%BESTSELLING%>", "b"}};
    const std::vector<BYTE> table = BuildLinkTable(pairs);
    Pairs walked;
    WalkLinkTable(table.data(), static_cast<DWORD>(table.size()),
                  [&](const CString& tag, const CString& address) { walked.emplace_back(tag.str(), address.str()); });
    EXPECT_EQ(walked, pairs);
}

// The executables that ReadLinkTable is given: the image with or without a tree behind it.
class ReadLinkTableTest : public ::testing::Test {
protected:
    Pairs Read(const std::string& path)
    {
        Pairs pairs;
        ReadLinkTable(path.c_str(), [&](const CString& tag, const CString& address) {
            pairs.emplace_back(tag.str(), address.str());
        });
        return pairs;
    }

    std::string WriteExe(const Bytes& bytes)
    {
        const std::string path = m_dir.Path("Tomeshift.exe");
        WriteFileBytes(path, bytes);
        return path;
    }

    Bytes TreeWithRecords(const std::vector<std::tuple<int, int, Bytes>>& records)
    {
        CUpdateDir root;
        for (const auto& [group, key, blob] : records) {
            CUpdateElem* found = root.Find(group);
            CUpdateDir& dir = found != nullptr ? static_cast<CUpdateDir&>(*found) : AddGroup(root, group);
            AddRecord(dir, key, blob);
        }
        return StoreBody(root);
    }

    TempDir m_dir;
    MessageCapture m_messages;
};

TEST_F(ReadLinkTableTest, PairsOfTheLinkTableInRecordOrder)
{
    const Bytes table = TableBytes(std::string("<%MARKETING%>\0m\0<%BESTSELLING%>\0b\0", 34));
    const std::string exe = WriteExe(ContainerBytes(
        Image(700), TreeWithRecords({{GROUP_BOOK, 14, Blob(6, 1)}, {GROUP_BOOK, 17, table}, {GROUP_BOOK, 18, Blob(6, 2)}})));
    EXPECT_EQ(Read(exe), (Pairs{{"<%MARKETING%>", "m"}, {"<%BESTSELLING%>", "b"}}));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ReadLinkTableTest, NothingAndNoMessageWithoutATable)
{
    struct Case {
        const char* what;
        Bytes exe;
    };
    const Case cases[] = {
        {"no trailer", Image(300)},
        {"no record 17", ContainerBytes(Image(300), TreeWithRecords({{GROUP_BOOK, 18, Blob(6, 2)}}))},
        {"record 17 in another group", ContainerBytes(Image(300), TreeWithRecords({{500, 17, Blob(9, 2)}}))},
        {"an empty tree", ContainerBytes(Image(300), TreeWithRecords({}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(Read(WriteExe(c.exe)).empty());
    }
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ReadLinkTableTest, FileFailureIsShownWithItsOwnText)
{
    struct Case {
        const char* what;
        std::string path;
        std::string text;
    };
    const std::string missing = m_dir.Path("absent.exe");
    const Case cases[] = {
        {"no such file", missing, missing + " was not found."},
        {"shorter than a trailer", WriteExe(Image(5)), "Seek failed on an unnamed file"},
        {"a base offset that cannot be sought",
         WriteExe(Concat(Image(40), Trailer(0x80000000u))), "Seek failed on an unnamed file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture messages;
        EXPECT_TRUE(Read(c.path).empty());
        EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{c.text, MB_ICONERROR}}));
    }
}

TEST_F(ReadLinkTableTest, DamagedTreePassesThroughUnreported)
{
    // A class tag naming index 0 is the bad-format error.
    const std::string exe = WriteExe(ContainerBytes(Image(64), StreamBuilder().Word(0).Word(1).Word(0x8000)));
    EXPECT_THROW(Read(exe), CArchiveException);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST(LinkTableWriter, TreeBehindTheImageHasTheDeliveredShape)
{
    // Addresses that make the table 223 bytes long, so the container data is 304 bytes.
    const Pairs pairs = {{"<%BESTSELLING%>", "https://tomeshift.example/" + std::string(13, 'b')},
                         {"<%COVERGRAPHICS%>", "https://tomeshift.example/" + std::string(13, 'c')},
                         {"<%MORETRAFFIC%>", "https://tomeshift.example/" + std::string(13, 'm')},
                         {"<%MARKETING%>", "https://tomeshift.example/" + std::string(12, 'k')}};
    const std::vector<BYTE> table = BuildLinkTable(pairs);
    ASSERT_EQ(table.size(), 223u);

    TempDir dir;
    const std::string exe = dir.Path("Tomeshift.exe");
    const Bytes image = Image(4096);
    WriteFileBytes(exe, image);
    WriteLinkTableTree(exe.c_str(), pairs);

    const Bytes zeros(6, 0);
    const Bytes tree = StreamBuilder()
                           .Word(0).Word(1)
                           .NewClass("CUpdateDir").Word(350).Word(3)
                           .NewClass("CUpdateElem").Word(14).Dword(6).Append(zeros)
                           .Word(0x8003).Word(17).Dword(223).Append(Bytes(table.begin(), table.end()))
                           .Word(0x8003).Word(18).Dword(6).Append(zeros);
    const Bytes expected = ContainerBytes(image, tree);
    EXPECT_EQ(expected.size() - image.size(), 304u);
    EXPECT_EQ(ReadFileBytes(exe), expected);

    // Run again on its own output, it replaces the tree rather than adding to it.
    WriteLinkTableTree(exe.c_str(), pairs);
    EXPECT_EQ(ReadFileBytes(exe), expected);
}

}  // namespace
