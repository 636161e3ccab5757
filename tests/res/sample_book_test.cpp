// The sample e-book generator: the book it writes, read back through the store, and the
// faulty books its options make.
#include "platform/exceptions.h"
#include "store/container_file.h"
#include "store/record_keys.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/sample_book.h"
#include "tools/samplegen/sample_options.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

const Bytes kEngine = {'M', 'Z', 0x90, 0, 'o', 'l', 'd', ' ', 'e', 'n', 'g', 'i', 'n', 'e', 0, 0};

using RecordList = std::vector<std::tuple<int, int, Bytes>>;

// Every record of the container at path, in tree order.
RecordList ReadRecords(const std::string& path)
{
    CUpdateFile file;
    file.Open(path.c_str(), TRUE);
    RecordList records;
    for (const auto& group : file.m_root.GetChildren()) {
        const auto* dir = dynamic_cast<const CUpdateDir*>(group.get());
        if (dir == NULL)
            continue;
        for (const auto& record : dir->GetChildren())
            records.emplace_back(dir->m_nKey, record->m_nKey,
                                 Bytes(record->m_pData.get(), record->m_pData.get() + record->m_nSize));
    }
    return records;
}

RecordList AsRecordList(const std::vector<CSampleRecord>& catalogue)
{
    RecordList records;
    for (const CSampleRecord& r : catalogue)
        records.emplace_back(r.m_nGroup, r.m_nKey, Bytes(r.m_data.begin(), r.m_data.end()));
    return records;
}

bool Has(const RecordList& records, int group, int key)
{
    for (const auto& [g, k, data] : records)
        if (g == group && k == key)
            return true;
    return false;
}

const Bytes* Find(const RecordList& records, int group, int key)
{
    for (const auto& [g, k, data] : records)
        if (g == group && k == key)
            return &data;
    return nullptr;
}

class SampleBookTest : public testing::Test {
protected:
    RecordList Write(const CSampleOptions& options)
    {
        WriteSampleBook(m_path.c_str(), kEngine.data(), static_cast<DWORD>(kEngine.size()), options);
        const Bytes file = ReadFileBytes(m_path);
        EXPECT_TRUE(file.size() >= kEngine.size() && std::equal(kEngine.begin(), kEngine.end(), file.begin()))
            << "the book starts with the engine image";
        return ReadRecords(m_path);
    }

    TempDir m_dir;
    std::string m_path = m_dir.Path("sample.exe");
};

TEST_F(SampleBookTest, HoldsTheFullCatalogueInOrder)
{
    const RecordList records = Write(CSampleOptions());
    EXPECT_EQ(records, AsRecordList(MakeSampleCatalogue(CSampleOptions())));

    // Group 350 from key 1 to 19, so every required and optional record is there, then
    // the pages, then what a patch must drop.
    std::vector<std::pair<int, int>> keys;
    for (const auto& [group, key, data] : records)
        keys.emplace_back(group, key);
    std::vector<std::pair<int, int>> expected;
    for (int key = 1; key <= 19; ++key)
        expected.emplace_back(GROUP_BOOK, key);
    for (int id = 101; id <= 106; ++id)
        expected.emplace_back(GROUP_PAGES, id);
    expected.emplace_back(GROUP_PAGES, 999);
    expected.emplace_back(500, 1);
    EXPECT_EQ(keys, expected);

    EXPECT_EQ(Find(records, GROUP_BOOK, REC_SETTINGS)->size(), 80u);
    // The link table: tag and address pairs, each string NUL-terminated, in slot order.
    const Bytes& links = *Find(records, GROUP_BOOK, REC_LINK_TABLE);
    ASSERT_EQ(links.back(), 0);
    std::vector<std::string> strings;
    for (size_t pos = 0; pos < links.size(); pos += strings.back().size() + 1)
        strings.emplace_back(reinterpret_cast<const char*>(&links[pos]));
    const std::vector<std::string> expectedLinks = {
        "<%BESTSELLING%>", "https://tomeshift.example/best-selling",
        "<%COVERGRAPHICS%>", "https://tomeshift.example/cover-graphics",
        "<%MORETRAFFIC%>", "https://tomeshift.example/more-traffic",
        "<%MARKETING%>", "https://tomeshift.example/marketing"};
    EXPECT_EQ(strings, expectedLinks);
}

TEST_F(SampleBookTest, IndexNamesEachPageAndPointsAtIt)
{
    const RecordList records = Write(CSampleOptions());
    const Bytes& index = *Find(records, GROUP_BOOK, REC_PAGE_INDEX);
    size_t pos = 0;
    std::vector<std::string> names;
    while (pos < index.size()) {
        const std::string name(reinterpret_cast<const char*>(&index[pos]));
        const std::uint32_t id = index[pos + name.size() + 1] | index[pos + name.size() + 2] << 8;
        EXPECT_TRUE(Has(records, GROUP_PAGES, static_cast<int>(id))) << name;
        names.push_back(name);
        pos += name.size() + 17;
    }
    EXPECT_EQ(pos, index.size());
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names.front(), "Welcome");
}

TEST_F(SampleBookTest, OptionsMakeTheFaultyBooksTestsNeed)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        void (*check)(const RecordList& records);
    };
    const Case cases[] = {
        {"omit one record", {"--omit", "350:5"},
         [](const RecordList& r) {
             EXPECT_FALSE(Has(r, GROUP_BOOK, 5));
             EXPECT_TRUE(Has(r, GROUP_BOOK, 4));
             EXPECT_TRUE(Has(r, GROUP_BOOK, 6));
         }},
        {"omit several", {"--omit", "350:15", "--omit", "349:103", "--omit", "350:17"},
         [](const RecordList& r) {
             EXPECT_FALSE(Has(r, GROUP_BOOK, 15));
             EXPECT_FALSE(Has(r, GROUP_BOOK, 17));
             EXPECT_FALSE(Has(r, GROUP_PAGES, 103));
             EXPECT_TRUE(Has(r, GROUP_PAGES, 102));
         }},
        {"settings of another size", {"--settings-size", "75"},
         [](const RecordList& r) { EXPECT_EQ(Find(r, GROUP_BOOK, REC_SETTINGS)->size(), 75u); }},
        {"large book", {"--pages", "40", "--page-size", "5000"},
         [](const RecordList& r) {
             for (int id = 101; id < 141; ++id) {
                 ASSERT_TRUE(Has(r, GROUP_PAGES, id)) << id;
                 EXPECT_EQ(Find(r, GROUP_PAGES, id)->size(), 5000u) << id;
             }
             EXPECT_FALSE(Has(r, GROUP_PAGES, 141));
         }},
        {"no pages", {"--pages", "0"},
         [](const RecordList& r) {
             EXPECT_FALSE(Has(r, GROUP_BOOK, REC_PAGE_INDEX));  // the store keeps no empty record
             EXPECT_TRUE(Has(r, GROUP_PAGES, 999));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(m_path);
        CSampleCommand command;
        CString error;
        ASSERT_TRUE(ParseSampleCommand(arguments, command, error)) << error.str();
        const RecordList records = Write(command.m_options);
        EXPECT_EQ(records, AsRecordList(MakeSampleCatalogue(command.m_options)));
        c.check(records);
    }
}

TEST_F(SampleBookTest, NoTrailerWritesTheBareEngine)
{
    CSampleOptions options;
    options.m_bNoTrailer = TRUE;
    WriteSampleBook(m_path.c_str(), kEngine.data(), static_cast<DWORD>(kEngine.size()), options);
    EXPECT_EQ(ReadFileBytes(m_path), kEngine);
}

TEST_F(SampleBookTest, RefusesAnEngineThatAlreadyCarriesATree)
{
    Bytes book = kEngine;
    book.insert(book.end(), {0, 0, 0, 0, 0x10, 0, 0, 0, 0x4B, 0x47});
    EXPECT_THROW(WriteSampleBook(m_path.c_str(), book.data(), static_cast<DWORD>(book.size()), CSampleOptions()),
                 CFileException);
    EXPECT_FALSE(FileExists(m_path));
}

TEST(SampleCommandTest, ReadsOptionsAndRejectsBadOnes)
{
    struct Case {
        std::vector<std::string> arguments;
        bool ok;
    };
    const Case cases[] = {
        {{"out.exe"}, true},
        {{"--engine", "old.exe", "--no-trailer", "out.exe"}, true},
        {{"--omit", "350:5", "out.exe"}, true},
        {{}, false},                                   // no output
        {{"a.exe", "b.exe"}, false},                   // two outputs
        {{"out.exe", "--pages"}, false},               // value missing
        {{"--omit", "350", "out.exe"}, false},         // no key
        {{"--omit", "350:70000", "out.exe"}, false},   // key wider than 16 bits
        {{"--omit", "350:-1", "out.exe"}, false},
        {{"--settings-size", "7x", "out.exe"}, false},
        {{"--pages", "99999999999999999999", "out.exe"}, false},
        {{"--colour", "red", "out.exe"}, false},       // unknown option
    };
    for (const Case& c : cases) {
        CSampleCommand command;
        CString error;
        const BOOL ok = ParseSampleCommand(c.arguments, command, error);
        std::string line;
        for (const std::string& a : c.arguments)
            line += a + " ";
        EXPECT_EQ(ok != FALSE, c.ok) << line;
        EXPECT_EQ(error.IsEmpty() != FALSE, c.ok) << line;
    }

    CSampleCommand command;
    CString error;
    ASSERT_TRUE(ParseSampleCommand({"--omit", "350:5", "--omit", "500:1", "--settings-size", "75", "--pages", "3",
                                    "--page-size", "100", "--engine", "e.exe", "--no-trailer", "out.exe"},
                                   command, error));
    const CSampleOptions& o = command.m_options;
    EXPECT_EQ(o.m_omit, (std::vector<std::pair<int, int>>{{350, 5}, {500, 1}}));
    EXPECT_EQ(o.m_nSettingsSize, 75u);
    EXPECT_EQ(o.m_nPages, 3);
    EXPECT_EQ(o.m_nPageSize, 100u);
    EXPECT_TRUE(o.m_bNoTrailer);
    EXPECT_EQ(command.m_strEngine.str(), "e.exe");
    EXPECT_EQ(command.m_strOutput.str(), "out.exe");
}

}  // namespace
