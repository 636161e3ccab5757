// Patching from the dialog: the path typed into the field, the patch button or Enter,
// each message box, and what is left on disk: the book B, the new file N, the backup K.
#include "res/template_bytes.h"
#include "store/container_file.h"
#include "store/record_keys.h"
#include "tests/e2e/e2e_fixture.h"
#include "tools/samplegen/sample_book.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

namespace {

const char kSuccess[] = "E-Book was successfully patched!";
const char kWrongSource[] = "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.";

class PatchE2E : public E2ETest {
public:
    void SetUp() override
    {
        E2ETest::SetUp();
        m_book = Path("guide.exe");
        m_new = Path("guide_new.exe");
        m_backup = Path("guide.exe.bak");
    }

    void WriteBook(const CSampleOptions& options = {}) const
    {
        WriteSampleBook(m_book.c_str(), kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize), options);
    }

    std::string m_book;
    std::string m_new;
    std::string m_backup;
};

// Types path and presses "&Patch E-Book".
void Patch(HWND dialog, const std::string& path)
{
    ::SetDlgItemTextA(dialog, 1000, path.c_str());
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 1002)));
}

bool StartsWithTemplate(const Bytes& bytes)
{
    return bytes.size() > kTemplateEngineSize && std::equal(kTemplateEngine, kTemplateEngine + kTemplateEngineSize, bytes.begin());
}

struct FailureCase {
    const char* what;
    std::function<void(PatchE2E&)> prepare;
    std::function<std::string(const PatchE2E&)> typed;
    std::function<std::string(const PatchE2E&)> message;
};

TEST_F(PatchE2E, FailuresAreReportedAndLeaveTheFilesAsTheyWere)
{
    const auto book = [](const PatchE2E& t) { return t.m_book; };
    const auto text = [](const char* message) { return [message](const PatchE2E&) { return std::string(message); }; };
    const auto goodBook = [](PatchE2E& t) { t.WriteBook(); };
    const FailureCase cases[] = {
        {"empty path", goodBook, [](const PatchE2E&) { return std::string(); },
         text("Please select correct path for E-Book!")},
        {"no dot in the path", goodBook, [](const PatchE2E& t) { return t.Path("guide"); },
         text("Bad file name of E-Book!")},
        {"the new file's folder does not exist", goodBook, [](const PatchE2E& t) { return t.Path("my.books\\guide"); },
         [](const PatchE2E& t) {
             return "Cannot save E-Book file:\n" + t.Path("my_new.books\\guide") + " contains an invalid path.";
         }},
        {"no such book", [](PatchE2E&) {}, book, [](const PatchE2E& t) { return t.m_book + " was not found."; }},
        {"not an e-book", [](PatchE2E& t) { t.WriteBook({{}, 80, TRUE}); }, book, text(kWrongSource)},
        {"a required record missing", [](PatchE2E& t) { t.WriteBook({{{GROUP_BOOK, 5}}}); }, book, text(kWrongSource)},
        {"a damaged tree",
         [](PatchE2E& t) {
             t.WriteBook();
             CUpdateFile file;
             file.Open(t.m_book.c_str(), TRUE);
             const DWORD tree = file.m_pFile->m_nBaseOffset;
             file.Close();
             Bytes bytes = ReadBytes(t.m_book);
             bytes[tree + 4] = 0x00;  // the first class tag names class index 0
             bytes[tree + 5] = 0x80;
             WriteBytes(t.m_book, bytes);
         },
         book, [](const PatchE2E& t) { return t.m_book + " has a bad format."; }},
    };

    CTomeshiftSession session(Exe());
    const HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ignored;
        std::filesystem::remove(m_book, ignored);
        c.prepare(*this);
        const Bytes before = ReadBytes(m_book);

        Patch(dialog, c.typed(*this));
        const MessageBoxText box = session.TakeMessageBox();
        EXPECT_EQ(box.caption, "Tomeshift");
        EXPECT_EQ(box.text, c.message(*this));
        EXPECT_TRUE(session.NoMessageBox(500));

        // The new file goes once the box is dismissed.
        EXPECT_TRUE(WaitFor([&] { return !Exists(m_new); }, 3000));
        EXPECT_EQ(ReadBytes(m_book), before);
        EXPECT_FALSE(Exists(m_backup));
        EXPECT_EQ(ItemText(dialog, 1000), c.typed(*this));
    }
    EXPECT_FALSE(session.Ended(0));
}

TEST_F(PatchE2E, PatchSwapsTheBookWithItsUpgradeAndAgainWithEnter)
{
    WriteBook();
    const Bytes original = ReadBytes(m_book);
    CTomeshiftSession session(Exe());
    const HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);

    Patch(dialog, m_book);
    ASSERT_NE(session.WaitForWindow(&IsMessageBox), nullptr);
    Screenshot("message-box");
    EXPECT_EQ(session.TakeMessageBox().text, kSuccess);
    EXPECT_TRUE(session.NoMessageBox(500));

    EXPECT_EQ(ReadBytes(m_backup), original);
    EXPECT_FALSE(Exists(m_new));
    const Bytes upgraded = ReadBytes(m_book);
    EXPECT_TRUE(StartsWithTemplate(upgraded));
    {
        CUpdateFile file;
        file.Open(m_book.c_str(), TRUE);
        EXPECT_NE(file.GetRecord(GROUP_BOOK, REC_SETTINGS), nullptr);
        EXPECT_NE(file.GetRecord(GROUP_BOOK, REC_LINK_TABLE), nullptr);
        EXPECT_EQ(file.GetRecord(GROUP_BOOK, 1), nullptr);  // not carried by the patch
    }
    EXPECT_EQ(ItemText(dialog, 1000), m_book);

    // Enter in the path field presses the default button: the upgrade is patched again and
    // becomes the backup in place of the old book.
    ASSERT_TRUE(WaitFor([&] { return session.FocusWindow() == ::GetDlgItem(dialog, 1000); }, 3000));
    session.PressKey(VK_RETURN);
    EXPECT_EQ(session.TakeMessageBox().text, kSuccess);
    EXPECT_EQ(ReadBytes(m_backup), upgraded);
    EXPECT_FALSE(Exists(m_new));
    EXPECT_TRUE(StartsWithTemplate(ReadBytes(m_book)));
}

}  // namespace
