#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FileCauseCase {
    int cause;
    const char* name;
    const char* text;
};

class FileCauseTexts : public ::testing::TestWithParam<FileCauseCase> {};

TEST_P(FileCauseTexts, DescribeTheCauseWithTheNameOrAnUnnamedFile)
{
    const FileCauseCase& c = GetParam();
    EXPECT_EQ(CFileException(c.cause, -1, c.name).GetErrorMessageText(256).str(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    AllCauses, FileCauseTexts,
    ::testing::Values(
        FileCauseCase{0, "a.exe", "No error occurred."},
        FileCauseCase{1, "a.exe", "An unknown error occurred while accessing a.exe."},
        FileCauseCase{2, "C:\\Books\\guide.exe", "C:\\Books\\guide.exe was not found."},
        FileCauseCase{3, "a.exe", "a.exe contains an invalid path."},
        FileCauseCase{4, "a.exe", "a.exe could not be opened because there are too many open files."},
        FileCauseCase{5, "a.exe", "Access to a.exe was denied."},
        FileCauseCase{6, "a.exe", "An invalid file handle was associated with a.exe."},
        FileCauseCase{7, "a.exe", "a.exe could not be removed because it is the current directory."},
        FileCauseCase{8, "a.exe", "a.exe could not be created because the directory is full."},
        FileCauseCase{9, nullptr, "Seek failed on an unnamed file"},
        FileCauseCase{10, "a.exe", "A hardware I/O error was reported while accessing a.exe."},
        FileCauseCase{11, "a.exe", "A sharing violation occurred while accessing a.exe."},
        FileCauseCase{12, "a.exe", "A locking violation occurred while accessing a.exe."},
        FileCauseCase{13, "a.exe", "Disk full while accessing a.exe."},
        FileCauseCase{14, nullptr, "An attempt was made to access an unnamed file past its end."}));

struct ArchiveCauseCase {
    int cause;
    const char* name;
    const char* text;
};

class ArchiveCauseTexts : public ::testing::TestWithParam<ArchiveCauseCase> {};

TEST_P(ArchiveCauseTexts, DescribeTheCauseWithTheNameOrAnUnnamedFile)
{
    const ArchiveCauseCase& c = GetParam();
    EXPECT_EQ(CArchiveException(c.cause, c.name).GetErrorMessageText(256).str(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    AllCauses, ArchiveCauseTexts,
    ::testing::Values(ArchiveCauseCase{0, "b.exe", "No error occurred."},
                      ArchiveCauseCase{1, "b.exe", "An unknown error occurred while accessing b.exe."},
                      ArchiveCauseCase{2, "b.exe", "An attempt was made to write to the reading b.exe."},
                      ArchiveCauseCase{3, nullptr, "An attempt was made to access an unnamed file past its end."},
                      ArchiveCauseCase{4, "b.exe", "An attempt was made to read from the writing b.exe."},
                      ArchiveCauseCase{5, "/x/b.exe", "/x/b.exe has a bad format."},
                      ArchiveCauseCase{6, "b.exe", "b.exe contained an unexpected object."},
                      ArchiveCauseCase{7, "b.exe", "b.exe contains an incorrect schema."}));

TEST(ExceptionMessages, AreCutToTheBufferLessOneCharacter)
{
    const CFileException e(CFileException::fileNotFound, -1, "abc");  // "abc was not found."
    char buffer[8];
    ASSERT_TRUE(e.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc was");
    EXPECT_EQ(e.GetErrorMessageText(256).str(), "abc was not found.");
    EXPECT_EQ(e.GetErrorMessageText(4).str(), "abc");
}

TEST(ExceptionMessages, MemoryExceptionSaysOutOfMemoryAndPlainExceptionHasNoText)
{
    EXPECT_EQ(CMemoryException().GetErrorMessageText(256).str(), "Out of memory.");
    char buffer[16] = "untouched";
    EXPECT_FALSE(CException().GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
}

TEST(ExceptionMessages, AllocationFailureBecomesMemoryException)
{
    EXPECT_THROW(AfxAllocate([]() -> int { throw std::bad_alloc(); }), CMemoryException);
    EXPECT_EQ(AfxAllocate([] { return 7; }), 7);
}

TEST(ExceptionClasses, KnowTheirPlaceInTheFamily)
{
    const CFileException file;
    const CArchiveException archive;
    const CMemoryException memory;
    for (const CException* e : {static_cast<const CException*>(&file), static_cast<const CException*>(&archive),
                                static_cast<const CException*>(&memory)}) {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CException)));
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CObject)));
    }
    EXPECT_FALSE(file.IsKindOf(RUNTIME_CLASS(CArchiveException)));
}

}  // namespace
