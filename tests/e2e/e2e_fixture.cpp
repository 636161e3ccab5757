#include "tests/e2e/e2e_fixture.h"

#include "store/container_file.h"
#include "store/record_keys.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

const char* const kSlotMarkers[] = {"bestselling.exe", "covergraphics.exe", "moretraffic.exe", "marketing.exe"};

std::string OpenedLog() { return MarkerFolder() + "\\opened.log"; }

}  // namespace

void E2ETest::SetUp()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Parameterised names hold '/' and the patch derives paths from the last '.': keep both out.
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& ch : name) {
        if (ch == '/' || ch == '.')
            ch = '-';
    }
    m_dir = (fs::path(Config().work) / name).string();
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    fs::copy_file(Config().tomeshift, Exe());
    ClearOpened();
}

std::string E2ETest::Path(const std::string& name) const { return (fs::path(m_dir) / name).string(); }

void E2ETest::SetLinkTable(const Bytes& table) const
{
    CUpdateFile file;
    file.Open(Exe().c_str(), FALSE);
    file.SetRecord(GROUP_BOOK, REC_LINK_TABLE, table.data(), static_cast<DWORD>(table.size()));
    file.Save();
}

Bytes E2ETest::ReadExe() const { return ReadBytes(Exe()); }

void E2ETest::WriteExe(const Bytes& bytes) const { WriteBytes(Exe(), bytes); }

std::uint32_t E2ETest::TreeOffset() const
{
    CUpdateFile file;
    file.Open(Exe().c_str(), TRUE);
    return file.m_pFile->m_nBaseOffset;
}

std::string MarkerFolder() { return (fs::path(Config().work) / "markers").string(); }

std::string SlotMarker(int slot) { return MarkerFolder() + "\\" + kSlotMarkers[slot]; }

void PrepareMarkers()
{
    fs::remove_all(MarkerFolder());
    fs::create_directories(MarkerFolder());
    const std::string built = Config().marker;
    Config().marker = MarkerFolder() + "\\marker.exe";
    fs::copy_file(built, Config().marker);
    for (int slot = 0; slot < 4; ++slot)
        fs::copy_file(built, SlotMarker(slot));
}

std::vector<std::string> Opened()
{
    std::vector<std::string> lines;
    std::ifstream log(OpenedLog());
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

void ClearOpened()
{
    std::error_code ignored;
    fs::remove(OpenedLog(), ignored);
}

bool WaitOpened(const std::string& line, DWORD timeoutMs)
{
    return WaitFor([&] {
        for (const std::string& opened : Opened()) {
            if (opened == line)
                return true;
        }
        return false;
    }, timeoutMs);
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) { return fs::exists(path); }
