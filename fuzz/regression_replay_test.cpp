// Replays every kept fuzz input (fuzz/regressions/<target>/) through the target's own
// entry, without libFuzzer: an input that once crashed must now pass quietly.
#include "fuzz/fuzz_entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

class RegressionReplay : public ::testing::TestWithParam<const char*> {};

TEST_P(RegressionReplay, EveryKeptInputPassesTheEntry)
{
    const FuzzEntry entry = FindFuzzEntry(GetParam());
    ASSERT_NE(entry, nullptr);
    const fs::path folder = fs::path(TOMESHIFT_FUZZ_REGRESSIONS) / GetParam();
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    for (const auto& file : fs::directory_iterator(folder)) {
        if (!file.is_regular_file() || file.path().filename().string().front() == '.')
            continue;
        SCOPED_TRACE(file.path().string());
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        entry(input.data(), input.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, RegressionReplay,
                         ::testing::Values("container", "record_transfer", "icon_transfer", "link_table", "page_index"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
