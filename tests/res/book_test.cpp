// The viewer's book model: what the engine shows for a book behind its image, for a bare
// engine and for a damaged tree.
#include "engine/book.h"
#include "platform/exceptions.h"
#include "store/record_keys.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const Bytes kImage = {'M', 'Z', 0x90, 0, 3, 0, 0, 0, 4, 0, 0, 0};

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes IndexEntry(const std::string& name, std::uint32_t id)
{
    Bytes out = Text(name);
    out.push_back(0);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(id >> shift));
    out.insert(out.end(), 12, 0);
    return out;
}

// Writes the image, then a tree holding records (group, key, bytes) through the store.
void WriteBook(const std::string& path, const std::vector<std::tuple<int, int, Bytes>>& records)
{
    WriteFileBytes(path, kImage);
    CUpdateFile file;
    file.Open(path.c_str(), FALSE);
    for (const auto& [group, key, data] : records)
        file.SetRecord(group, key, data.data(), static_cast<DWORD>(data.size()));
    file.Save();
}

class BookTest : public testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.Path("book.exe");
};

TEST_F(BookTest, ShowsTheIndexedPagesInIndexOrder)
{
    Bytes index = IndexEntry("Second", 20);
    const Bytes first = IndexEntry("First", 0x00010010u);  // the key is the id's low 16 bits
    index.insert(index.end(), first.begin(), first.end());
    WriteBook(m_path, {{GROUP_BOOK, REC_PAGE_INDEX, index},
                       {GROUP_PAGES, 16, Text("one\ntwo\r\nthree")},
                       {GROUP_PAGES, 20, Bytes{'a', 0, 'b'}},
                       {GROUP_PAGES, 30, Text("not listed")}});
    CBook book;
    book.Load(m_path.c_str());

    ASSERT_TRUE(book.HasBook());
    ASSERT_EQ(book.GetPages().size(), 2u);
    EXPECT_EQ(book.GetPages()[0].m_strName.str(), "Second");
    EXPECT_EQ(book.GetPages()[1].m_strName.str(), "First");
    // Lone line feeds become CR LF for the edit control; NULs would cut the text short.
    EXPECT_EQ(book.GetPageText(0).str(), "a b");
    EXPECT_EQ(book.GetPageText(1).str(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(book.GetPageText(2).str(), "");
}

TEST_F(BookTest, SaysWhenAListedPageIsMissing)
{
    WriteBook(m_path, {{GROUP_BOOK, REC_PAGE_INDEX, IndexEntry("Gone", 4)}});
    CBook book;
    book.Load(m_path.c_str());
    ASSERT_TRUE(book.HasBook());
    EXPECT_EQ(book.GetPageText(0).str(), "(This page is missing from the book.)");
}

TEST_F(BookTest, HoldsNoBookWithoutPages)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<int, int, Bytes>> records;
        bool bare;
    };
    const Case cases[] = {
        {"bare engine, no trailer", {}, true},
        {"empty tree", {}, false},
        {"tree without a page index", {{GROUP_BOOK, REC_SETTINGS, Bytes(80, 1)}, {GROUP_PAGES, 1, Text("x")}}, false},
        {"index whose only entry is cut short", {{GROUP_BOOK, REC_PAGE_INDEX, Text("No NUL")}}, false},
    };
    for (const Case& c : cases) {
        if (c.bare)
            WriteFileBytes(m_path, kImage);
        else
            WriteBook(m_path, c.records);
        CBook book;
        book.Load(m_path.c_str());
        EXPECT_FALSE(book.HasBook()) << c.name;
    }
}

TEST_F(BookTest, LetsFileAndArchiveFailuresThrough)
{
    CBook missing;
    EXPECT_THROW(missing.Load(m_dir.Path("none.exe").c_str()), CFileException);

    // A trailer pointing at bytes that are no tree: a class tag with an unknown index.
    Bytes damaged = kImage;
    const Bytes garbage = {0x00, 0x00, 0x01, 0x00, 0x05, 0x80};
    damaged.insert(damaged.end(), garbage.begin(), garbage.end());
    const Bytes trailer = {static_cast<std::uint8_t>(kImage.size()), 0, 0, 0, 0x4B, 0x47};
    damaged.insert(damaged.end(), trailer.begin(), trailer.end());
    WriteFileBytes(m_path, damaged);
    CBook book;
    EXPECT_THROW(book.Load(m_path.c_str()), CArchiveException);
}

}  // namespace
