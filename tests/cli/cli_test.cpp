// tomeshift-cli run as a process, as a person or a script would run it: its output, its
// exit status and the files it leaves. Natively and, as a console program, under Wine.
#include "res/template_bytes.h"
#include "store/container_file.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/sample_book.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace {

// Set by main from the first argument: the program under test.
std::string g_cli;

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string ReadText(const std::string& path)
{
    const Bytes bytes = ReadFileBytes(path);
    std::string text(bytes.begin(), bytes.end());
    // The Windows console program writes CR LF; compare lines as the tests write them.
    std::string lf;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lf += text[i];
    return lf;
}

const char* const kWrongBook =
    "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.\n\n";

class CliTest : public ::testing::Test {
protected:
    TempDir dir;

    Result Run(const std::string& args)
    {
        const std::string out = dir.Path("stdout.txt");
        const std::string err = dir.Path("stderr.txt");
        std::string command = Quote(g_cli) + " " + args + " > " + Quote(out) + " 2> " + Quote(err);
#if defined(_WIN32)
        command = "\"" + command + "\"";  // cmd /c takes the outer quotes off
        const int status = std::system(command.c_str());
#else
        const int raw = std::system(command.c_str());
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
        return {status, ReadText(out), ReadText(err)};
    }

    std::string Book(const std::string& name, const CSampleOptions& options = {})
    {
        const std::string path = dir.Path(name);
        WriteSampleBook(path.c_str(), kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize), options);
        return path;
    }

    static std::vector<int> BookKeys(const std::string& path)
    {
        CUpdateFile book;
        book.Open(path.c_str(), TRUE);
        std::vector<int> keys;
        for (const auto& record : static_cast<const CUpdateDir&>(*book.m_root.Find(350)).GetChildren())
            keys.push_back(record->m_nKey);
        return keys;
    }
};

TEST_F(CliTest, PatchUpgradesABookAndSaysSoOnStandardOutput)
{
    const std::string book = Book("guide.exe");
    const Bytes old = ReadFileBytes(book);

    const Result r = Run("patch " + Quote(book));

    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "E-Book was successfully patched!\n\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(book + ".bak"), old);
    EXPECT_FALSE(FileExists(dir.Path("guide_new.exe")));
    EXPECT_EQ(BookKeys(book), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 15}));
    const Bytes upgraded = ReadFileBytes(book);
    ASSERT_GT(upgraded.size(), kTemplateEngineSize);
    EXPECT_TRUE(std::equal(upgraded.begin(), upgraded.begin() + 2, kTemplateEngine));
}

TEST_F(CliTest, PatchOfAWrongBookFailsOnStandardErrorAndLeavesItAlone)
{
    CSampleOptions options;
    options.m_omit = {{350, 9}};
    const std::string book = Book("broken.exe", options);
    const Bytes old = ReadFileBytes(book);

    const Result r = Run("patch " + Quote(book));

    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kWrongBook);
    EXPECT_EQ(ReadFileBytes(book), old);
    EXPECT_FALSE(FileExists(dir.Path("broken_new.exe")));
    EXPECT_FALSE(FileExists(book + ".bak"));
}

TEST_F(CliTest, PatchGoesOnThroughEveryBookAndFailsIfAnyFailed)
{
    CSampleOptions options;
    options.m_bNoTrailer = TRUE;
    const std::string good = Book("good.exe");
    const std::string bare = Book("bare.exe", options);

    const Result r = Run("patch " + Quote(bare) + " " + Quote(good));

    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "== " + bare + "\n== " + good + "\nE-Book was successfully patched!\n\n");
    EXPECT_EQ(r.err, kWrongBook);
    EXPECT_TRUE(FileExists(good + ".bak"));
    EXPECT_FALSE(FileExists(bare + ".bak"));
}

TEST_F(CliTest, UsageErrorsAreOneLineAndStatusTwo)
{
    const std::string book = Book("guide.exe");
    const std::string cases[] = {"", "frobnicate", "patch", "patch --force " + Quote(book),
                                 "patch " + Quote(dir.Path("missing.exe")), "inspect",
                                 "inspect " + Quote(dir.Path("missing.exe")), "inspect --xml " + Quote(book)};
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(FileExists(dir.Path("missing.exe")));
    EXPECT_FALSE(FileExists(dir.Path("missing_new.exe")));
}

TEST_F(CliTest, HelpAndVersion)
{
    const Result help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: tomeshift-cli patch BOOK...\n", 0), 0u);
    const Result version = Run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tomeshift-cli 1.0.0.2\n");
}

TEST_F(CliTest, InspectShowsTreeCheckAndIcons)
{
    const std::string book = Book("guide.exe");
    const Result r = Run("inspect " + Quote(book));
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    for (const char* line : {"Container: trailer found; tree at offset ", "  group 350\n", "    record 3: 80 bytes\n",
                             "E-book: yes, it holds every record an upgrade needs\n",
                             "Dropped by an upgrade: (350, 1) (350, 19)",
                             "  32 x 32, 16 colours, 744 bytes, id 1\n", "  16 x 16, 16 colours, 296 bytes, id 2\n",
                             "Template engine: takes these icon images\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n---\n" << r.out;
}

TEST_F(CliTest, InspectNamesWhatIsWrong)
{
    CSampleOptions options;
    options.m_omit = {{350, 5}, {349, 102}};
    options.m_nSettingsSize = 75;
    const std::string broken = Book("broken.exe", options);
    const Result r = Run("inspect " + Quote(broken));
    EXPECT_EQ(r.status, 1);
    for (const char* line : {"E-book: no, an upgrade would refuse it:\n", "  missing record (350, 5)\n",
                             "  the settings (350, 3) are 75 bytes long; an e-book's are 80 or 76\n", "missing page (349, 102)"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n---\n" << r.out;
}

TEST_F(CliTest, InspectOfADamagedTreeGivesTheDialogsTextAndWhereLoadingStopped)
{
    const std::string book = Book("damaged.exe");
    Bytes bytes = ReadFileBytes(book);
    bytes[kTemplateEngineSize + 4] = 0x09;  // the first class tag names an index never given
    bytes[kTemplateEngineSize + 5] = 0x80;
    WriteFileBytes(book, bytes);

    const Result r = Run("inspect " + Quote(book));

    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Tree: damaged, loading stopped at offset " + std::to_string(kTemplateEngineSize + 6) + ":\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" has a bad format.\n"), std::string::npos) << r.out;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: cli_tests PATH-OF-TOMESHIFT-CLI [gtest options]\n");
        return 2;
    }
    g_cli = argv[1];
    return RUN_ALL_TESTS();
}
