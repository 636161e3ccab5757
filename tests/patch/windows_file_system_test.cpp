// The patch against the Windows file system itself, run under Wine: a book that another
// process holds without sharing, a read-only book whose backup then cannot be replaced, a
// folder in which no file can be created, and names in the ANSI code page. Windows only:
// natively the POSIX backend has none of these rules.
#if defined(_WIN32)

#include "tests/support/locked_folder.h"
#include "tests/support/patch_fixture.h"
#include "tests/support/patch_messages.h"
#include "tests/support/win32_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class WindowsFileSystemTest : public PatchOperationTest {};

// Through the A functions, so that names are seen as the patch sees them: ANSI bytes.
bool ExistsA(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsReadOnly(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The names in folder, as FindFirstFileA gives them, sorted.
std::vector<std::string> NamesInA(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// file_holder.exe, started from beside this program, holding a file open without sharing
// until it is released; released and waited for on every way out of a test.
class HoldingProcess {
public:
    explicit HoldingProcess(const std::string& path)
    {
        char self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string program(self, length);
        program = program.substr(0, program.find_last_of("\\/") + 1) + "file_holder.exe";

        // The child gets one end of each pipe; this process keeps the other, uninherited.
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        HANDLE childInput = nullptr, parentInput = nullptr, parentOutput = nullptr, childOutput = nullptr;
        if (!::CreatePipe(&childInput, &parentInput, &inherited, 0)) {
            m_report = "no pipe for the holder's input";
            return;
        }
        UniqueHandle childIn(childInput);
        m_input.reset(parentInput);
        if (!::CreatePipe(&parentOutput, &childOutput, &inherited, 0)) {
            m_report = "no pipe for the holder's output";
            return;
        }
        const UniqueHandle output(parentOutput);
        UniqueHandle childOut(childOutput);
        ::SetHandleInformation(parentInput, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(parentOutput, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        std::string commandLine = "\"" + program + "\" \"" + path + "\"";
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process)) {
            m_report = "cannot start " + program + ": error " + std::to_string(::GetLastError());
            return;
        }
        m_process.reset(process.hProcess);
        const UniqueHandle thread(process.hThread);
        // Only the child's copies keep the pipes open now: its exit ends the read below.
        childIn.reset();
        childOut.reset();

        char c = 0;
        DWORD got = 0;
        while (::ReadFile(output.get(), &c, 1, &got, nullptr) && got == 1 && c != '\n')
            if (c != '\r')
                m_report += c;
    }

    ~HoldingProcess() { Release(); }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    // The holder's first line: "held" once it holds the file, otherwise why not.
    const std::string& Report() const { return m_report; }

    // Ends the holder's input, so that it lets go of the file and exits, and waits for it.
    void Release()
    {
        m_input.reset();
        if (m_process && ::WaitForSingleObject(m_process.get(), 30000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process.get(), 1);
        m_process.reset();
    }

private:
    UniqueHandle m_input;
    UniqueHandle m_process;
    std::string m_report;
};

TEST_F(WindowsFileSystemTest, ABookThatAnotherProcessHoldsIsReportedByTheTransferAndKept)
{
    const Bytes old = ReadFileBytes(book);
    {
        HoldingProcess holder(book);
        ASSERT_EQ(holder.Report(), "held");

        EXPECT_FALSE(Patch(book));

        EXPECT_FALSE(ExistsA(newPath)) << "deleted while the book is still held";
    }
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{
                  {"A sharing violation occurred while accessing " + book + ".", MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(book), old);
    EXPECT_FALSE(ExistsA(backup));
}

// Clears the read-only attribute of the files when it goes, so the temporary folder can go too.
class ReadOnlyCleanup {
public:
    explicit ReadOnlyCleanup(std::vector<std::string> paths) : m_paths(std::move(paths)) {}
    ~ReadOnlyCleanup()
    {
        for (const std::string& path : m_paths)
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    ReadOnlyCleanup(const ReadOnlyCleanup&) = delete;
    ReadOnlyCleanup& operator=(const ReadOnlyCleanup&) = delete;

private:
    std::vector<std::string> m_paths;
};

TEST_F(WindowsFileSystemTest, AReadOnlyBookIsPatchedAndThenItsBackupBlocksTheNextSwap)
{
    const ReadOnlyCleanup cleanup({book, backup, newPath});
    ASSERT_TRUE(::SetFileAttributesA(book.c_str(), FILE_ATTRIBUTE_READONLY));
    const Bytes old = ReadFileBytes(book);

    // The book is only read, and a read-only file may be renamed.
    EXPECT_TRUE(Patch(book));

    EXPECT_EQ(messages.Messages(), std::vector<CapturedMessage>{kSuccess});
    ExpectUpgraded(book, StandardCatalogue());
    EXPECT_EQ(ReadFileBytes(backup), old);
    EXPECT_TRUE(IsReadOnly(backup)) << "the rename keeps the attribute";
    EXPECT_FALSE(ExistsA(newPath));

    // Now the read-only backup cannot be deleted, so the book cannot become the backup.
    const Bytes firstUpgrade = ReadFileBytes(book);

    EXPECT_FALSE(Patch(book));

    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{kSuccess,
                                            {"Cannot rename the old E-Book to:\n" + backup +
                                                 "\nThe patched E-Book was saved as:\n" + newPath,
                                             MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(book), firstUpgrade);
    EXPECT_EQ(ReadFileBytes(backup), old);
    EXPECT_TRUE(IsReadOnly(backup));
    ExpectUpgraded(newPath, StandardCatalogue());
}

TEST_F(WindowsFileSystemTest, AFolderWhereNoFileCanBeCreatedStopsThePatchAtTheNewFile)
{
    LockedFolder folder(dir.Root());
    const std::string lockedBook = folder.Path("guide.exe");
    WriteBook(lockedBook, bookImage.bytes, StandardCatalogue());
    const Bytes old = ReadFileBytes(lockedBook);
    const std::string reason = folder.Lock();
    if (!reason.empty())
        GTEST_SKIP() << reason;

    EXPECT_FALSE(Patch(lockedBook));

    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{
                  {"Cannot save E-Book file:\nAccess to " + folder.Path("guide_new.exe") + " was denied.",
                   MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(lockedBook), old);
    EXPECT_EQ(NamesInA(folder.Path()), std::vector<std::string>{"guide.exe"});
}

// Names in code page 1252, as ANSI bytes: a folder "Bücher" beside the book's own.
class AnsiNameTest : public WindowsFileSystemTest {
protected:
    void SetUp() override
    {
        if (::GetACP() != 1252)
            GTEST_SKIP() << "the names here are in code page 1252, but the ANSI code page is " << ::GetACP();
        WindowsFileSystemTest::SetUp();
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    }

    // Not dir.Path: std::filesystem would take these bytes for UTF-8.
    const std::string folder = dir.Root() + "\\B\xfc" "cher";
};

TEST_F(AnsiNameTest, ABookUnderAnAnsiNameIsUpgradedInPlace)
{
    const std::string ansiBook = folder + "\\F\xfc" "hrer.exe";
    WriteBook(ansiBook, bookImage.bytes, StandardCatalogue());
    const Bytes old = ReadFileBytes(ansiBook);

    EXPECT_TRUE(Patch(ansiBook));

    EXPECT_EQ(messages.Messages(), std::vector<CapturedMessage>{kSuccess});
    ExpectUpgraded(ansiBook, StandardCatalogue());
    EXPECT_EQ(ReadFileBytes(ansiBook + ".bak"), old);
    EXPECT_EQ(NamesInA(folder), (std::vector<std::string>{"F\xfc" "hrer.exe", "F\xfc" "hrer.exe.bak"}));
}

TEST_F(AnsiNameTest, AFailureNamesTheAnsiPathByItsOwnBytes)
{
    const std::string dotted = dir.Root() + "\\Gr\xfc" "ne.B\xfc" "cher";
    ASSERT_TRUE(::CreateDirectoryA(dotted.c_str(), nullptr));
    const std::string dottedNew = dir.Root() + "\\Gr\xfc" "ne_new.B\xfc" "cher\\F\xfc" "hrer";
    const struct {
        const char* what;
        std::string book;
        std::string message;
    } cases[] = {
        {"no such book: the transfer names it", folder + "\\Gr\xf6\xdf" "e.exe",
         folder + "\\Gr\xf6\xdf" "e.exe was not found."},
        {"a dot only in a folder name: the new file's folder does not exist", dotted + "\\F\xfc" "hrer",
         "Cannot save E-Book file:\n" + dottedNew + " contains an invalid path."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture local;

        EXPECT_FALSE(Patch(c.book));

        EXPECT_EQ(local.Messages(), (std::vector<CapturedMessage>{{c.message, MB_ICONERROR}}));
        EXPECT_EQ(NamesInA(folder), std::vector<std::string>{}) << "no new file left behind";
        EXPECT_EQ(NamesInA(dotted), std::vector<std::string>{});
    }
}

}  // namespace

#endif
