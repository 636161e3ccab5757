// make_fuzz_seeds OUTDIR: writes a small seed corpus for every fuzz target into
// OUTDIR/<target>/. The books come from the sample-book generator, written on a small
// PE32 engine image that carries an icon group, so inputs stay small and reach every walk.
#include "platform/exceptions.h"
#include "store/record_keys.h"
#include "tests/support/pe_builder.h"
#include "tools/samplegen/sample_book.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<BYTE> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A sample book on engine, as bytes.
std::vector<BYTE> SampleBook(const fs::path& scratch, const Bytes& engine, const CSampleOptions& options)
{
    WriteSampleBook(scratch.string().c_str(), engine.data(), static_cast<DWORD>(engine.size()), options);
    return ReadAll(scratch);
}

std::vector<BYTE> RecordOf(const CSampleOptions& options, int group, int key)
{
    for (const CSampleRecord& record : MakeSampleCatalogue(options)) {
        if (record.m_nGroup == group && record.m_nKey == key)
            return record.m_data;
    }
    return {};
}

// The icon target's input: the source's length in two bytes, the source, the destination.
std::vector<BYTE> IconInput(const Bytes& source, const Bytes& destination)
{
    std::vector<BYTE> input{static_cast<BYTE>(source.size() & 0xFF), static_cast<BYTE>(source.size() >> 8 & 0xFF)};
    input.insert(input.end(), source.begin(), source.end());
    input.insert(input.end(), destination.begin(), destination.end());
    return input;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    for (const char* target : {"container", "record_transfer", "icon_transfer", "link_table", "page_index"})
        fs::create_directories(out / target);
    const fs::path scratch = out / "scratch.exe";

    try {
        const Bytes oldEngine = PeBuilder().AddIconSet({Icon32(1), Icon16(2)}, 50).Build().bytes;
        const Bytes newEngine = PeBuilder().AddIconSet({Icon32(1), Icon16(2)}, 10).Build().bytes;
        const Bytes tiny = {'M', 'Z', 0, 0, 0, 0, 0, 0};

        CSampleOptions small;
        small.m_nPages = 2;
        CSampleOptions shortSettings = small;
        shortSettings.m_nSettingsSize = 76;
        CSampleOptions missing = small;
        missing.m_omit = {{GROUP_BOOK, 9}};
        CSampleOptions bare = small;
        bare.m_bNoTrailer = TRUE;

        const std::vector<BYTE> book = SampleBook(scratch, tiny, small);
        for (const char* target : {"container", "record_transfer"}) {
            WriteAll(out / target / "sample", book);
            WriteAll(out / target / "settings76", SampleBook(scratch, tiny, shortSettings));
            WriteAll(out / target / "missing-record", SampleBook(scratch, tiny, missing));
            WriteAll(out / target / "no-trailer", SampleBook(scratch, tiny, bare));
        }
        WriteAll(out / "icon_transfer" / "two-icons", IconInput(SampleBook(scratch, oldEngine, small), newEngine));
        WriteAll(out / "icon_transfer" / "32-only",
                 IconInput(PeBuilder().AddIconSet({Icon32(1)}, 70).Build().bytes, newEngine));
        WriteAll(out / "link_table" / "sample", RecordOf(small, GROUP_BOOK, REC_LINK_TABLE));
        WriteAll(out / "page_index" / "sample", RecordOf(small, GROUP_BOOK, REC_PAGE_INDEX));
    } catch (CException& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.GetErrorMessageText(512).GetString());
        return 1;
    }
    fs::remove(scratch);
    return 0;
}
