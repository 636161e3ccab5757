// Every file operation of a whole patch made to fail in turn: whichever one fails, the
// book (or, once swapped, its backup) keeps the original bytes, no half-written new file
// is left, and the user is told exactly what failed, never of success. Run under AddressSanitizer, the
// sweep also shows that no failure path leaks.
#include "patch/patch_operation.h"
#include "platform/os_file.h"
#include "store/record_keys.h"
#include "tests/support/book_builder.h"
#include "tests/support/message_capture.h"
#include "tests/support/patch_messages.h"
#include "tests/support/pe_builder.h"
#include "tests/support/scoped_fault_hook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#if !defined(_WIN32)

namespace {

const char* const kOperationNames[] = {"open", "close", "read", "write", "seek", "truncate", "fullPath", "remove", "rename"};

// One file operation of a clean run: what it was, on which file, and in which step of the
// patch it came. The steps follow from the opens: the template's one, the record
// transfer's two, the icon transfer's two; removes and renames after them are the swap.
struct Step {
    enum Kind { templateWrite, recordTransfer, iconTransfer, swap };
    os::Operation operation;
    std::string file;
    Kind kind;
};

Step::Kind StepOfOpen(int opens)
{
    return opens <= 1 ? Step::templateWrite : opens <= 3 ? Step::recordTransfer : Step::iconTransfer;
}

// The file-failure text for the errno a fault injects, naming name.
std::string FailureText(LONG cause, const std::string& name)
{
    switch (cause) {
    case EIO:
        return "A hardware I/O error was reported while accessing " + name + ".";
    case ENOSPC:
        return "Disk full while accessing " + name + ".";
    default:
        return "Access to " + name + " was denied.";
    }
}

struct SweptBook {
    const char* what;
    bool iconsOfId3;                             // the 16-pixel image under an id the engine lacks
    std::vector<std::pair<int, int>> omitted;    // required records left out
    std::vector<CapturedMessage> cleanMessages;  // what a run without faults says
    std::optional<Step::Kind> cleanFailure;      // the step where a run without faults stops
};

class FaultInjection : public ::testing::TestWithParam<SweptBook> {
protected:
    TempDir dir;
    PeImage engine = PeBuilder().AddIconSet({Icon32(1), Icon16(2)}, 10).Build();
    std::string book = dir.Path("guide.exe");
    std::string newPath = dir.Path("guide_new.exe");
    std::string backup = dir.Path("guide.exe.bak");
    CContentCopier copier;
    Bytes original;

    void WriteTheBook()
    {
        std::filesystem::remove(book);
        std::filesystem::remove(newPath);
        std::filesystem::remove(backup);
        const SweptBook& b = GetParam();
        const Bytes image = PeBuilder().AddIconSet({Icon32(1), Icon16(b.iconsOfId3 ? 3 : 2)}, 50).Build().bytes;
        WriteBook(book, image, Without(StandardCatalogue(), b.omitted));
        original = ReadFileBytes(book);
    }

    BOOL Patch()
    {
        CPatchOperation operation(copier, {engine.bytes.data(), static_cast<DWORD>(engine.bytes.size())});
        return operation.Run(book.c_str());
    }

    // What the user must be told when step fails with errno cause.
    std::vector<CapturedMessage> ExpectedMessages(const Step& step, LONG cause) const
    {
        // A failed open, write or close carries the file's name; a failed seek, read or cut
        // does not.
        const bool named = step.operation == os::Operation::open || step.operation == os::Operation::write ||
                           step.operation == os::Operation::close;
        const std::string name = named ? step.file : "an unnamed file";
        const std::string text = FailureText(cause, name);
        switch (step.kind) {
        case Step::templateWrite:
            return {{"Cannot save E-Book file:\n" + text, MB_ICONERROR}};
        case Step::recordTransfer:
            // Opening either file and loading its tree report the failure alone; a failure
            // while the new file's tree is saved escapes and is reported with its own text.
            return {{text, MB_ICONERROR}};
        case Step::iconTransfer:
            return {{"File error with " + (named ? step.file : "") + "\n" + text, MB_ICONERROR}, kIconError};
        case Step::swap:
            break;
        }
        if (step.file == book)
            return {{"Cannot rename the old E-Book to:\n" + backup + "\nThe patched E-Book was saved as:\n" + newPath,
                     MB_ICONERROR}};
        return {{"Cannot rename the patched E-Book to:\n" + book + "\nThe patched E-Book was saved as:\n" + newPath,
                 MB_ICONERROR}};
    }

    // The new file, when one is left, is the whole upgrade: the engine image, then a tree
    // with every record the book's catalogue keeps.
    void ExpectCompleteNewFile()
    {
        const Bytes bytes = ReadFileBytes(newPath);
        ASSERT_GT(bytes.size(), engine.bytes.size() + 6);
        const size_t n = bytes.size();
        EXPECT_EQ(bytes[n - 2], 'K');
        EXPECT_EQ(bytes[n - 1], 'G');
        EXPECT_EQ(ReadBookRecords(newPath), Without(StandardCatalogue(), GetParam().omitted));
    }
};

TEST_P(FaultInjection, EveryFailingOperationLeavesTheBookSafeAndIsReported)
{
    WriteTheBook();
    std::vector<Step> steps;
    {
        MessageCapture clean;
        {
            int opens = 0;
            ScopedFaultHook counting([&](os::Operation op, const std::string& file) {
                if (op == os::Operation::open)
                    ++opens;
                const bool swapping = op == os::Operation::remove || op == os::Operation::rename;
                steps.push_back({op, file, swapping ? Step::swap : StepOfOpen(opens)});
                return LONG{0};
            });
            Patch();
        }
        ASSERT_EQ(clean.Messages(), GetParam().cleanMessages);
    }
    ASSERT_GT(steps.size(), 10u);

    const LONG causes[] = {EIO, ENOSPC, EACCES};
    for (size_t n = 1; n <= steps.size(); ++n) {
        const Step& step = steps[n - 1];
        for (const LONG cause : causes) {
            SCOPED_TRACE("operation " + std::to_string(n) + " (" + kOperationNames[static_cast<int>(step.operation)] +
                         " " + step.file + ") fails with errno " + std::to_string(cause));
            WriteTheBook();
            MessageCapture messages;
            BOOL result;
            {
                size_t count = 0;
                ScopedFaultHook failing([&](os::Operation, const std::string&) { return ++count == n ? cause : LONG{0}; });
                result = Patch();
            }

            // Finding a full path, closing the book (only read), deleting a backup that is
            // not there, and deleting the new file after a failure change nothing the patch
            // relies on: the run ends as a clean one, told the same. A failed close of the
            // new file may have lost what was written, so it fails a step that would have
            // succeeded; one that fails anyway says only its own failure.
            const bool closesAfterFailure = step.operation == os::Operation::close &&
                                            (step.file == book || step.kind == GetParam().cleanFailure);
            const bool harmless = step.operation == os::Operation::fullPath || closesAfterFailure ||
                                  step.operation == os::Operation::remove;
            EXPECT_EQ(messages.Messages(), harmless ? GetParam().cleanMessages : ExpectedMessages(step, cause));
            if (result) {
                EXPECT_EQ(ReadFileBytes(backup), original);
                EXPECT_FALSE(FileExists(newPath));
                continue;
            }
            if (FileExists(book))
                EXPECT_EQ(ReadFileBytes(book), original);
            else
                EXPECT_EQ(ReadFileBytes(backup), original);
            // The new file stays only when the swap failed, and the message says where; or,
            // unreported, when its own deletion failed.
            if (step.kind == Step::swap && !harmless)
                ExpectCompleteNewFile();
            else
                EXPECT_EQ(FileExists(newPath), step.operation == os::Operation::remove && step.file == newPath);
            for (const std::string& name : dir.FileNames())
                EXPECT_TRUE(name == "guide.exe" || name == "guide_new.exe" || name == "guide.exe.bak") << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Books, FaultInjection,
    ::testing::Values(SweptBook{"Sample", false, {}, {kSuccess}, std::nullopt},
                      SweptBook{"RequiredRecordMissing", false, {{GROUP_BOOK, 9}}, {kWrongBook}, Step::recordTransfer},
                      SweptBook{"IconUnderAnIdTheEngineLacks", true, {}, {kIconError}, Step::iconTransfer}),
    [](const ::testing::TestParamInfo<SweptBook>& info) { return std::string(info.param.what); });

}  // namespace

#endif
