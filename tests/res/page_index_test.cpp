// The viewer's walk over the page index: names and keys in index order, never a byte
// read past the record.
#include "engine/page_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Entry(const std::string& name, std::uint32_t id, size_t trailing = 12)
{
    Bytes out(name.begin(), name.end());
    out.push_back(0);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(id >> shift));
    out.insert(out.end(), trailing, 0xEE);
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

struct IndexCase {
    const char* name;
    Bytes index;
    std::vector<std::pair<std::string, WORD>> pages;
};

void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.name; }

class PageIndexTest : public testing::TestWithParam<IndexCase> {};

TEST_P(PageIndexTest, ListsThePagesItCanReadWhole)
{
    const IndexCase& c = GetParam();
    // The walk sees only the record's own bytes: a copy of exactly that size, so that
    // AddressSanitizer catches any read beyond it.
    std::vector<BYTE> record(c.index.begin(), c.index.end());
    const std::vector<CPageEntry> pages = ParsePageIndex(record.data(), static_cast<DWORD>(record.size()));
    ASSERT_EQ(pages.size(), c.pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].m_strName.str(), c.pages[i].first) << "entry " << i;
        EXPECT_EQ(pages[i].m_nKey, c.pages[i].second) << "entry " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageIndexTest,
    testing::Values(
        IndexCase{"Empty", {}, {}},
        IndexCase{"InIndexOrder",
                  Join({Entry("Welcome", 101), Entry("Contents", 7), Entry("Last words", 3)}),
                  {{"Welcome", 101}, {"Contents", 7}, {"Last words", 3}}},
        IndexCase{"KeyIsTheIdsLow16Bits", Entry("Far", 0x00010007u), {{"Far", 7}}},
        IndexCase{"EmptyName", Entry("", 5), {{"", 5}}},
        IndexCase{"LastEntryWithTrailingBytesCutShort", Join({Entry("One", 1), Entry("Two", 2, 5)}),
                  {{"One", 1}, {"Two", 2}}},
        IndexCase{"LastEntryEndsRightAfterItsId", Entry("Bare", 9, 0), {{"Bare", 9}}},
        IndexCase{"NameWithoutNulIsDropped", Join({Entry("One", 1), Bytes{'T', 'w', 'o'}}), {{"One", 1}}},
        IndexCase{"IdCutShortIsDropped", Join({Entry("One", 1), Bytes{'T', 'w', 'o', 0, 2, 0}}), {{"One", 1}}},
        IndexCase{"OnlyANul", Bytes{0}, {}}),
    [](const testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.name); });

}  // namespace
