#include "patch/record_transfer.h"
#include "store/record_keys.h"
#include "tests/support/book_builder.h"
#include "tests/support/message_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kWrongBook =
    "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.";

class RecordTransferTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string source = dir.Path("guide.exe");
    std::string destination = dir.Path("guide_new.exe");
    Bytes engine = FakeImage(4096);
    MessageCapture messages;
    CContentCopier copier;

    void SetUp() override { WriteFileBytes(destination, engine); }

    BOOL Copy() { return copier.CopyContent(source.c_str(), destination.c_str()); }

    // The copy is refused as a wrong book: one message, the destination as it was.
    void ExpectWrongBook()
    {
        const Bytes before = ReadFileBytes(source);
        EXPECT_FALSE(Copy());
        EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{kWrongBook, MB_ICONERROR}}));
        EXPECT_EQ(ReadFileBytes(destination), engine);
        EXPECT_EQ(ReadFileBytes(source), before);
    }
};

TEST_F(RecordTransferTest, CarriesTheCatalogueInItsOrderAndDropsEverythingElse)
{
    std::vector<BookRecord> records = RecordsToDrop();
    for (const BookRecord& r : StandardCatalogue())  // scrambled: 15 first, pages before the book group
        records.insert(r.key == 15 ? records.begin() : records.end(), r);
    WriteBook(source, FakeImage(3000), records);
    const Bytes sourceBefore = ReadFileBytes(source);

    ASSERT_TRUE(Copy());

    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(ReadBookRecords(destination), StandardCatalogue());
    const Bytes after = ReadFileBytes(destination);
    ASSERT_GT(after.size(), engine.size());
    EXPECT_TRUE(std::equal(engine.begin(), engine.end(), after.begin())) << "the engine image stays as it was";
    EXPECT_EQ(ReadFileBytes(source), sourceBefore);
}

TEST_F(RecordTransferTest, SettingsMustBeEightyOrSeventySixBytes)
{
    for (const size_t size : {0, 75, 76, 77, 79, 80, 81}) {
        SCOPED_TRACE("settings of " + std::to_string(size) + " bytes");
        MessageCapture local;
        WriteFileBytes(destination, engine);
        std::vector<BookRecord> records = StandardCatalogue();
        for (BookRecord& r : records)
            if (r.group == GROUP_BOOK && r.key == REC_SETTINGS)
                r.data = Bytes(size, 0x33);
        WriteBook(source, FakeImage(100), records);
        const bool accepted = size == 76 || size == 80;
        EXPECT_EQ(Copy(), accepted ? TRUE : FALSE);
        EXPECT_EQ(local.Messages().size(), accepted ? 0u : 1u);
    }
}

TEST_F(RecordTransferTest, EveryRequiredRecordMissingRejectsTheBook)
{
    const std::vector<std::pair<int, int>> required = {
        {GROUP_BOOK, 2}, {GROUP_BOOK, 3},  {GROUP_BOOK, 4},  {GROUP_BOOK, 5},  {GROUP_BOOK, 6},
        {GROUP_BOOK, 7}, {GROUP_BOOK, 8},  {GROUP_BOOK, 9},  {GROUP_BOOK, 10}, {GROUP_BOOK, 11},
        {GROUP_BOOK, 12}, {GROUP_BOOK, 13}, {GROUP_BOOK, 14}, {GROUP_BOOK, 16}, {GROUP_PAGES, 2}};
    for (const auto& key : required) {
        SCOPED_TRACE("without (" + std::to_string(key.first) + ", " + std::to_string(key.second) + ")");
        MessageCapture local;
        WriteBook(source, FakeImage(100), Without(StandardCatalogue(), {key}));
        EXPECT_FALSE(Copy());
        EXPECT_EQ(local.Messages(), (std::vector<CapturedMessage>{{kWrongBook, MB_ICONERROR}}));
        EXPECT_EQ(ReadFileBytes(destination), engine);
    }
}

TEST_F(RecordTransferTest, OptionalRecordsMayBeMissing)
{
    const std::vector<std::vector<std::pair<int, int>>> cases = {
        {{GROUP_BOOK, 15}}, {{GROUP_BOOK, 17}}, {{GROUP_BOOK, 18}},
        {{GROUP_BOOK, 15}, {GROUP_BOOK, 17}, {GROUP_BOOK, 18}}};
    for (const auto& omitted : cases) {
        WriteFileBytes(destination, engine);
        WriteBook(source, FakeImage(100), Without(StandardCatalogue(), omitted));
        ASSERT_TRUE(Copy());
        EXPECT_EQ(ReadBookRecords(destination), Without(StandardCatalogue(), omitted));
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(RecordTransferTest, ASourceWithoutTrailerIsTheWrongBook)
{
    WriteFileBytes(source, FakeImage(5000));
    ExpectWrongBook();
}

TEST_F(RecordTransferTest, PageIdsCountWithTheirLowSixteenBitsAndRepeatsCopyOnce)
{
    std::vector<BookRecord> records = StandardCatalogue();
    const Bytes index = PageIndexBytes({{"Seven", 65543}, {"One", 1}, {"Seven again", 7}});
    records[0].data = index;
    records.push_back({GROUP_PAGES, 7, TextBytes("page seven")});
    WriteBook(source, FakeImage(100), records);

    ASSERT_TRUE(Copy());

    const std::vector<BookRecord> carried = ReadBookRecords(destination);
    std::vector<BookRecord> pages;
    for (const BookRecord& r : carried)
        if (r.group == GROUP_PAGES)
            pages.push_back(r);
    EXPECT_EQ(pages, (std::vector<BookRecord>{{GROUP_PAGES, 7, TextBytes("page seven")},
                                              {GROUP_PAGES, 1, TextBytes("<h1>Cover</h1>")}}));
    EXPECT_EQ(carried.front(), (BookRecord{GROUP_BOOK, REC_PAGE_INDEX, index})) << "carried unchanged";
}

TEST_F(RecordTransferTest, AnEmptyIndexCarriesNoPagesAndDisappears)
{
    std::vector<BookRecord> records = Without(StandardCatalogue(), {{GROUP_PAGES, 1}, {GROUP_PAGES, 2}, {GROUP_PAGES, 3}});
    records[0].data.clear();
    WriteBook(source, FakeImage(100), records);

    ASSERT_TRUE(Copy());

    EXPECT_EQ(ReadBookRecords(destination), Without(records, {{GROUP_BOOK, REC_PAGE_INDEX}}));
}

struct IndexEnding {
    const char* what;
    Bytes tail;  // bytes of the index behind one complete entry for page 1
    bool accepted;
};

TEST_F(RecordTransferTest, TheIndexWalkNeverReadsPastTheRecord)
{
    const IndexEnding cases[] = {
        {"last entry's 12 trailing bytes cut short", PageIndexBytes({{"Two", 2, Bytes(5, 0)}}), true},
        {"last entry with nothing behind its id", PageIndexBytes({{"Two", 2, Bytes()}}), true},
        {"name without its NUL", TextBytes("Tw"), false},
        {"page id cut short", Bytes{'T', 0, 2, 0, 0}, false},
        {"NUL but no page id", Bytes{'T', 0}, false},
    };
    for (const IndexEnding& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture local;
        WriteFileBytes(destination, engine);
        std::vector<BookRecord> records = StandardCatalogue();
        records[0].data = PageIndexBytes({{"Cover", 1}});
        records[0].data.insert(records[0].data.end(), c.tail.begin(), c.tail.end());
        WriteBook(source, FakeImage(100), records);
        EXPECT_EQ(Copy(), c.accepted ? TRUE : FALSE);
        EXPECT_EQ(local.Messages().size(), c.accepted ? 0u : 1u);
    }
}

TEST_F(RecordTransferTest, AMissingSourceIsReportedByItsOwnTextAlone)
{
    ASSERT_FALSE(Copy());
    EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{source + " was not found.", MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(destination), engine);
}

TEST_F(RecordTransferTest, AMissingDestinationIsReportedByItsOwnText)
{
    WriteBook(source, FakeImage(100), StandardCatalogue());
    const std::string missing = dir.Path("nowhere_new.exe");
    EXPECT_FALSE(copier.CopyContent(source.c_str(), missing.c_str()));
    EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{missing + " was not found.", MB_ICONERROR}}));
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(RecordTransferTest, ADestinationHeldByAnotherProgramIsASharingViolation)
{
    WriteBook(source, FakeImage(100), StandardCatalogue());
    CFile holder(destination.c_str(), CFile::modeRead | CFile::shareExclusive);
    EXPECT_FALSE(Copy());
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text.rfind("A sharing violation occurred while accessing ", 0), 0u);
    EXPECT_EQ(messages.Messages()[0].flags, UINT{MB_ICONERROR});
}

TEST_F(RecordTransferTest, AMessageIsLongCutTo255Characters)
{
    // A path short enough for Windows whose message is longer than 255 characters.
    const std::string longName = dir.Path(std::string(245 - dir.Path("").size() - 4, 'x') + ".exe");
    EXPECT_FALSE(copier.CopyContent(longName.c_str(), destination.c_str()));
    ASSERT_EQ(messages.Messages().size(), 1u);
    const std::string full = longName + " was not found.";
    EXPECT_EQ(messages.Messages()[0].text, full.substr(0, 255));
}

TEST_F(RecordTransferTest, ADamagedSourceTreePassesThroughWithBothFilesClosed)
{
    WriteBook(source, FakeImage(100), StandardCatalogue());
    Bytes damaged = ReadFileBytes(source);
    damaged[100 + 4] = 0x00;  // the first group's class tag becomes a null object
    damaged[100 + 5] = 0x80;  // ... the class index 0, which never exists
    WriteFileBytes(source, damaged);

    EXPECT_THROW(Copy(), CArchiveException);

    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(ReadFileBytes(destination), engine);
    // Both files are closed: exclusive opens succeed again.
    CFile reopenedSource(source.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
    CFile reopenedDestination(destination.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
}

TEST_F(RecordTransferTest, RecordsTheDestinationHoldsStayAndCarriedOnesReplaceThem)
{
    WriteBook(destination, engine, {{GROUP_BOOK, 3, Bytes(2, 0)}, {GROUP_BOOK, 40, Bytes(4, 4)}});
    WriteBook(source, FakeImage(100), StandardCatalogue());
    ASSERT_TRUE(Copy());
    const std::vector<BookRecord> carried = ReadBookRecords(destination);
    EXPECT_EQ(carried[0], (BookRecord{GROUP_BOOK, 3, Bytes(80, 0x33)})) << "replaced in its place";
    EXPECT_EQ(carried[1], (BookRecord{GROUP_BOOK, 40, Bytes(4, 4)})) << "kept";
}

TEST(EBookDataException, HasNoTextAndIsACException)
{
    const CEBookDataException e;
    EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_STREQ(e.GetRuntimeClass()->m_lpszClassName, "CEBookDataException");
    EXPECT_EQ(e.GetRuntimeClass()->m_wSchema, 0xFFFFu);
    EXPECT_TRUE(e.GetRuntimeClass()->CreateObject() != nullptr);
    EXPECT_TRUE(e.GetErrorMessageText(256).IsEmpty());
}

}  // namespace
