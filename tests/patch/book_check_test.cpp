#include "patch/book_catalogue.h"
#include "patch/book_check.h"
#include "tests/support/book_builder.h"

#include <gtest/gtest.h>

namespace {

struct IndexCase {
    const char* what;
    Bytes index;
    std::vector<std::pair<std::string, DWORD>> entries;  // name, page id
    bool complete;
};

TEST(ReadPageIndex, ReadsEntriesUpToTheirIdsAndNeverPastTheRecord)
{
    const IndexCase cases[] = {
        {"empty", Bytes(), {}, true},
        {"two entries", PageIndexBytes({{"One", 1}, {"Two", 65543}}), {{"One", 1}, {"Two", 65543}}, true},
        {"last entry's trailing bytes cut short", PageIndexBytes({{"One", 1}, {"Two", 2, Bytes(3, 0)}}),
         {{"One", 1}, {"Two", 2}}, true},
        {"empty name", PageIndexBytes({{"", 5}}), {{"", 5}}, true},
        {"name without NUL", TextBytes("Nameless"), {}, false},
        {"id cut short", Bytes{'A', 0, 1, 0, 0}, {}, false},
        {"second entry cut short", [] {
             Bytes b = PageIndexBytes({{"One", 1}});
             b.push_back('X');
             return b;
         }(),
         {{"One", 1}}, false},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CPageIndexEntry> entries;
        EXPECT_EQ(ReadPageIndex(c.index.data(), static_cast<DWORD>(c.index.size()), entries), c.complete ? TRUE : FALSE);
        std::vector<std::pair<std::string, DWORD>> got;
        for (const CPageIndexEntry& e : entries)
            got.push_back({e.m_strName.str(), e.m_nPageId});
        EXPECT_EQ(got, c.entries);
    }
}

class BookCheckTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("book.exe");

    std::vector<std::string> Problems(const std::vector<BookRecord>& records)
    {
        WriteBook(path, FakeImage(64), records);
        CUpdateFile book;
        book.Open(path.c_str(), TRUE);
        std::vector<std::string> texts;
        for (const CBookProblem& p : CheckBook(book))
            texts.push_back(p.m_strText.str());
        return texts;
    }
};

TEST_F(BookCheckTest, AValidBookHasNoProblemAndDropsWhatTheTransferDrops)
{
    std::vector<BookRecord> records = StandardCatalogue();
    for (const BookRecord& r : RecordsToDrop())
        records.push_back(r);
    EXPECT_TRUE(Problems(records).empty());

    CUpdateFile book;
    book.Open(path.c_str(), TRUE);
    std::vector<std::pair<int, int>> dropped;
    for (const CRecordKey& k : DroppedRecords(book))
        dropped.push_back({k.m_nGroup, k.m_nKey});
    EXPECT_EQ(dropped, (std::vector<std::pair<int, int>>{{350, 1}, {350, 19}, {349, 9}, {500, 1}}));
}

TEST_F(BookCheckTest, NamesEveryProblemNotOnlyTheFirst)
{
    std::vector<BookRecord> records = Without(StandardCatalogue(), {{350, 5}, {350, 16}, {349, 2}});
    for (BookRecord& r : records)
        if (r.group == 350 && r.key == 3)
            r.data.resize(75);
    EXPECT_EQ(Problems(records), (std::vector<std::string>{
                                     "missing page (349, 2) \"Chapter One\", listed in the page index",
                                     "the settings (350, 3) are 75 bytes long; an e-book's are 80 or 76",
                                     "missing record (350, 5)",
                                     "missing record (350, 16)",
                                 }));
}

TEST_F(BookCheckTest, ABookWithoutTreeLacksEverythingRequired)
{
    const std::vector<std::string> problems = Problems({});
    ASSERT_EQ(problems.size(), 14u);
    EXPECT_EQ(problems.front(), "missing record (350, 2)");
    EXPECT_EQ(problems[1], "missing record (350, 3)");
    EXPECT_EQ(problems.back(), "missing record (350, 16)");
}

TEST_F(BookCheckTest, ACutShortIndexIsAProblem)
{
    std::vector<BookRecord> records = StandardCatalogue();
    records[0].data.push_back('X');
    EXPECT_EQ(Problems(records),
              std::vector<std::string>{"the last entry of the page index (350, 2) is cut short"});
}

}  // namespace
