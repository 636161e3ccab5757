#include "patch/patch_operation.h"
#include "platform/file.h"
#include "platform/os_file.h"
#include "store/record_keys.h"
#include "tests/support/book_builder.h"
#include "tests/support/message_capture.h"
#include "tests/support/patch_fixture.h"
#include "tests/support/patch_messages.h"
#include "tests/support/pe_builder.h"
#include "tests/support/scoped_fault_hook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// "_new" before the last '.' of the whole path.
std::string NewPathOf(const std::string& book)
{
    std::string path = book;
    path.insert(path.rfind('.'), "_new");
    return path;
}

TEST_F(PatchOperationTest, UpgradesTheBookAndKeepsTheOldOneAsBackup)
{
    std::vector<BookRecord> records = StandardCatalogue();
    for (const BookRecord& r : RecordsToDrop())
        records.push_back(r);
    WriteBook(book, bookImage.bytes, records);
    const Bytes old = ReadFileBytes(book);

    EXPECT_TRUE(Patch(book));

    EXPECT_EQ(messages.Messages(), std::vector<CapturedMessage>{kSuccess});
    ExpectUpgraded(book, StandardCatalogue());
    EXPECT_EQ(ReadFileBytes(backup), old);
    EXPECT_FALSE(FileExists(newPath));
}

TEST_F(PatchOperationTest, ASecondPatchUpgradesAgainAndReplacesTheBackup)
{
    ASSERT_TRUE(Patch(book));
    const Bytes firstUpgrade = ReadFileBytes(book);

    EXPECT_TRUE(Patch(book));

    EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{kSuccess, kSuccess}));
    EXPECT_EQ(ReadFileBytes(backup), firstUpgrade);
    ExpectUpgraded(book, StandardCatalogue());
}

TEST_F(PatchOperationTest, AnExistingNewFileIsReplacedWithoutAsking)
{
    WriteFileBytes(newPath, Bytes(100000, 0x55));
    EXPECT_TRUE(Patch(book));
    ExpectUpgraded(book, StandardCatalogue());
    EXPECT_FALSE(FileExists(newPath));
}

struct RefusedPath {
    const char* what;
    std::string path;
    std::vector<CapturedMessage> messages;
};

TEST_F(PatchOperationTest, PathsThatCannotNameABookAreRefusedAndTouchNothing)
{
    std::filesystem::create_directory(dir.Path("My.Books"));
    const std::string inDottedFolder = (std::filesystem::path(dir.Path("My.Books")) / "guide").string();
    const std::string dottedNew = NewPathOf(inDottedFolder);
    const RefusedPath cases[] = {
        {"empty", "", {{"Please select correct path for E-Book!", MB_ICONWARNING}}},
        {"no dot", dir.Path("guide"), {{"Bad file name of E-Book!", MB_ICONERROR}}},
        {"dot only in a folder name, whose _new folder does not exist", inDottedFolder,
         {{"Cannot save E-Book file:\n" + dottedNew + " contains an invalid path.", MB_ICONERROR}}},
    };
    const Bytes old = ReadFileBytes(book);
    const std::vector<std::string> before = dir.FileNames();
    for (const RefusedPath& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture local;
        EXPECT_FALSE(Patch(c.path));
        EXPECT_EQ(local.Messages(), c.messages);
        EXPECT_EQ(dir.FileNames(), before);
        EXPECT_EQ(ReadFileBytes(book), old);
    }
}

TEST_F(PatchOperationTest, ABlankPathPassesTheEmptyTestAndFailsLater)
{
    EXPECT_FALSE(Patch("   "));
    EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{"Bad file name of E-Book!", MB_ICONERROR}}));
}

TEST_F(PatchOperationTest, TheNewPathGoesBeforeTheLastDotEvenAtTheEnd)
{
    const struct {
        std::string book, expected;
    } cases[] = {{dir.Path("guide.exe"), dir.Path("guide_new.exe")},
                 {dir.Path("guide.old.exe"), dir.Path("guide.old_new.exe")},
                 {dir.Path("guide."), dir.Path("guide_new.")}};
    for (const auto& c : cases) {
        CString path = c.book.c_str();
        CPatchOperation operation(copier, {engine.bytes.data(), static_cast<DWORD>(engine.bytes.size())});
        operation.WriteTemplate(path);
        EXPECT_EQ(path.str(), c.expected);
    }
}

TEST_F(PatchOperationTest, FailedTransfersDeleteTheNewFileAndLeaveTheBook)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<std::vector<CapturedMessage>()> expected;
    };
    const Case cases[] = {
        {"no such book", [&] { std::filesystem::remove(book); },
         [&] { return std::vector<CapturedMessage>{{book + " was not found.", MB_ICONERROR}}; }},
        {"not an e-book", [&] { WriteFileBytes(book, bookImage.bytes); },
         [&] { return std::vector<CapturedMessage>{kWrongBook}; }},
        {"a required record missing",
         [&] { WriteBook(book, bookImage.bytes, Without(StandardCatalogue(), {{GROUP_BOOK, 9}})); },
         [&] { return std::vector<CapturedMessage>{kWrongBook}; }},
        {"a 16-pixel image under an id the engine lacks",
         [&] { WriteBook(book, PeBuilder().AddIconSet({Icon32(1), Icon16(3)}, 50).Build().bytes, StandardCatalogue()); },
         [&] { return std::vector<CapturedMessage>{kIconError}; }},
        {"a book that is no PE32 image",
         [&] { WriteBook(book, PeBuilder().Pe32Plus().AddIconSet({Icon32(1)}, 50).Build().bytes, StandardCatalogue()); },
         [&] { return std::vector<CapturedMessage>{kIconError}; }},
        {"a damaged record tree (escapes the transfer)",
         [&] {
             Bytes bytes = ReadFileBytes(book);
             bytes[bookImage.bytes.size() + 5] = 0x80;  // first class tag 0xFF80: unknown index
             bytes[bookImage.bytes.size() + 4] = 0x7E;
             WriteFileBytes(book, bytes);
         },
         [&] {
             return std::vector<CapturedMessage>{{book + " has a bad format.", MB_ICONERROR}};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBook(book, bookImage.bytes, StandardCatalogue());
        c.prepare();
        const bool existed = FileExists(book);
        const Bytes old = existed ? ReadFileBytes(book) : Bytes();
        MessageCapture local;

        EXPECT_FALSE(Patch(book));

        EXPECT_EQ(local.Messages(), c.expected());
        EXPECT_FALSE(FileExists(newPath));
        EXPECT_FALSE(FileExists(backup));
        if (existed) {
            EXPECT_EQ(ReadFileBytes(book), old);
        }
    }
}

TEST_F(PatchOperationTest, ABookHeldOpenByAnotherProgramFailsAtTheIconStepWithBothMessages)
{
    const Bytes old = ReadFileBytes(book);
    {
        CFile reader(book.c_str(), CFile::modeRead | CFile::shareDenyNone);
        EXPECT_FALSE(Patch(book));
    }
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text,
              "File error with " + book + "\nA sharing violation occurred while accessing " + book + ".");
    EXPECT_EQ(messages.Messages()[0].flags, UINT{MB_ICONERROR});
    EXPECT_EQ(messages.Messages()[1], kIconError);
    EXPECT_EQ(ReadFileBytes(book), old);
    EXPECT_FALSE(FileExists(newPath));
}

TEST_F(PatchOperationTest, ANewFileHeldByAnotherProgramIsLeftAsItWas)
{
    const Bytes held(321, 0x42);
    WriteFileBytes(newPath, held);
    {
        CFile holder(newPath.c_str(), CFile::modeRead | CFile::shareExclusive);
        EXPECT_FALSE(Patch(book));
    }
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{
                  {"Cannot save E-Book file:\nA sharing violation occurred while accessing " + newPath + ".",
                   MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(newPath), held);
    EXPECT_FALSE(FileExists(backup));
}

// The n-th rename fails, whatever the file system would say.
os::FaultHook FailRename(int n)
{
    return [n, count = 0](os::Operation operation, const std::string&) mutable -> LONG {
        if (operation != os::Operation::rename || ++count != n)
            return 0;
#if defined(_WIN32)
        return ERROR_ACCESS_DENIED;
#else
        return EACCES;
#endif
    };
}

TEST_F(PatchOperationTest, WhenTheBookCannotBeBackedUpItStaysAndTheUpgradeWaitsBesideIt)
{
    std::filesystem::create_directory(backup);  // an earlier "backup" that no delete removes
    const Bytes old = ReadFileBytes(book);

    EXPECT_FALSE(Patch(book));

    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{"Cannot rename the old E-Book to:\n" + backup +
                                                 "\nThe patched E-Book was saved as:\n" + newPath,
                                             MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(book), old);
    ExpectUpgraded(newPath, StandardCatalogue());
}

TEST_F(PatchOperationTest, WhenTheUpgradeCannotTakeThePathTheBookIsPutBack)
{
    const Bytes old = ReadFileBytes(book);
    ScopedFaultHook hook(FailRename(2));

    EXPECT_FALSE(Patch(book));

    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{"Cannot rename the patched E-Book to:\n" + book +
                                                 "\nThe patched E-Book was saved as:\n" + newPath,
                                             MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(book), old);
    EXPECT_FALSE(FileExists(backup));
    ExpectUpgraded(newPath, StandardCatalogue());
}

TEST_F(PatchOperationTest, WhenTheBookCannotBePutBackTheMessageSaysWhereItIs)
{
    const Bytes old = ReadFileBytes(book);
    ScopedFaultHook hook([second = FailRename(2), third = FailRename(3)](os::Operation op, const std::string& file) mutable {
        const LONG a = second(op, file);
        const LONG b = third(op, file);
        return a ? a : b;
    });

    EXPECT_FALSE(Patch(book));

    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{"Cannot rename the patched E-Book to:\n" + book +
                                                 "\nThe patched E-Book was saved as:\n" + newPath +
                                                 "\nThe old E-Book was saved as:\n" + backup,
                                             MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(backup), old);
    ExpectUpgraded(newPath, StandardCatalogue());
}

#if !defined(_WIN32)
TEST_F(PatchOperationTest, AWriteThatFailsDeletesTheNewFileItCreated)
{
    // The file-size limit makes the template's write stop short, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const BOOL result = Patch(book);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(result);
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{
                  {"Cannot save E-Book file:\nDisk full while accessing " + newPath + ".", MB_ICONERROR}}));
    EXPECT_FALSE(FileExists(newPath));
}
#endif

}  // namespace
