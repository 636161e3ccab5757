// Every file operation of a whole patch made to fail in turn: whichever one fails, the
// book (or, once swapped, its backup) keeps the original bytes, no half-written new file
// is left, the user is told and never told of success. Run under AddressSanitizer, the
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
#include <string>
#include <vector>

#if !defined(_WIN32)

namespace {

const char* const kOperationNames[] = {"open", "close", "read", "write", "seek", "truncate", "fullPath", "remove", "rename"};

struct SweptBook {
    const char* what;
    bool iconsOfId3;                             // the 16-pixel image under an id the engine lacks
    std::vector<std::pair<int, int>> omitted;    // required records left out
    std::vector<CapturedMessage> cleanMessages;  // what a run without faults says
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
    std::vector<os::Operation> operations;
    {
        MessageCapture clean;
        {
            ScopedFaultHook counting([&](os::Operation op) {
                operations.push_back(op);
                return LONG{0};
            });
            Patch();
        }
        ASSERT_EQ(clean.Messages(), GetParam().cleanMessages);
    }
    ASSERT_GT(operations.size(), 10u);
    const bool cleanSucceeds = GetParam().cleanMessages == std::vector<CapturedMessage>{kSuccess};

    const LONG causes[] = {EIO, ENOSPC, EACCES};
    for (size_t n = 1; n <= operations.size(); ++n) {
        for (const LONG cause : causes) {
            SCOPED_TRACE("operation " + std::to_string(n) + " (" +
                         kOperationNames[static_cast<int>(operations[n - 1])] + ") fails with errno " +
                         std::to_string(cause));
            WriteTheBook();
            MessageCapture messages;
            BOOL result;
            {
                size_t count = 0;
                ScopedFaultHook failing([&](os::Operation) { return ++count == n ? cause : LONG{0}; });
                result = Patch();
            }
            const std::vector<CapturedMessage>& said = messages.Messages();
            const bool toldSuccess = std::find(said.begin(), said.end(), kSuccess) != said.end();

            if (result) {
                // Only a fault that changes nothing the patch relies on can end in success.
                EXPECT_TRUE(cleanSucceeds);
                EXPECT_EQ(said, std::vector<CapturedMessage>{kSuccess});
                EXPECT_EQ(ReadFileBytes(backup), original);
                EXPECT_FALSE(FileExists(newPath));
                continue;
            }
            EXPECT_FALSE(toldSuccess);
            EXPECT_FALSE(said.empty()) << "a failed run is never silent";
            for (const CapturedMessage& m : said)
                EXPECT_TRUE(m.flags == UINT{MB_ICONERROR} || m == kIconError) << m.text;
            if (FileExists(book)) {
                EXPECT_EQ(ReadFileBytes(book), original);
            } else {
                EXPECT_EQ(ReadFileBytes(backup), original);
                EXPECT_NE(said.back().text.find(backup), std::string::npos) << "says where the book is";
            }
            if (FileExists(newPath)) {
                if (operations[n - 1] == os::Operation::remove &&
                    said.back().text.find(newPath) == std::string::npos) {
                    // The failing operation was the deletion of the new file itself: it
                    // stays, unreported, but the book was never touched.
                    EXPECT_TRUE(FileExists(book));
                } else {
                    // Left only when the swap failed, and then said where it is.
                    EXPECT_NE(said.back().text.find("The patched E-Book was saved as:\n" + newPath), std::string::npos);
                    ExpectCompleteNewFile();
                }
            }
            for (const std::string& name : dir.FileNames())
                EXPECT_TRUE(name == "guide.exe" || name == "guide_new.exe" || name == "guide.exe.bak") << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Books, FaultInjection,
    ::testing::Values(SweptBook{"Sample", false, {}, {kSuccess}},
                      SweptBook{"RequiredRecordMissing", false, {{GROUP_BOOK, 9}}, {kWrongBook}},
                      SweptBook{"IconUnderAnIdTheEngineLacks", true, {}, {kIconError}}),
    [](const ::testing::TestParamInfo<SweptBook>& info) { return std::string(info.param.what); });

}  // namespace

#endif
