// What the build made, checked natively: the template engine's embedded bytes and the
// bundled sample e-book. The build passes their paths in.
#include "engine/book.h"
#include "res/template_bytes.h"
#include "store/container_file.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/sample_book.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(BuiltFilesTest, EmbeddedTemplateIsTheEngineByteForByte)
{
    const Bytes engine = ReadFileBytes(TOMESHIFT_ENGINE_FILE);
    ASSERT_FALSE(engine.empty());
    ASSERT_EQ(kTemplateEngineSize, engine.size());
    EXPECT_TRUE(std::equal(engine.begin(), engine.end(), kTemplateEngine));
}

TEST(BuiltFilesTest, BundledSampleIsTheOldEngineWithTheFullCatalogue)
{
    const Bytes engine = ReadFileBytes(TOMESHIFT_ENGINE_OLD_FILE);
    const Bytes sample = ReadFileBytes(TOMESHIFT_SAMPLE_BOOK_FILE);
    ASSERT_GT(sample.size(), engine.size());
    EXPECT_TRUE(std::equal(engine.begin(), engine.end(), sample.begin()));

    CUpdateFile book;
    book.Open(TOMESHIFT_SAMPLE_BOOK_FILE, TRUE);
    std::vector<std::pair<int, int>> stored;
    for (const auto& group : book.m_root.GetChildren())
        for (const auto& record : static_cast<const CUpdateDir&>(*group).GetChildren())
            stored.emplace_back(group->m_nKey, record->m_nKey);
    std::vector<std::pair<int, int>> expected;
    for (const CSampleRecord& record : MakeSampleCatalogue(CSampleOptions()))
        expected.emplace_back(record.m_nGroup, record.m_nKey);
    EXPECT_EQ(stored, expected);

    CBook view;
    view.Load(TOMESHIFT_SAMPLE_BOOK_FILE);
    ASSERT_EQ(view.GetPages().size(), 6u);
    EXPECT_NE(view.GetPageText(3).str().find("Tomeshift carries a newer viewer"), std::string::npos);
}

}  // namespace
