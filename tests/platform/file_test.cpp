#include "platform/exceptions.h"
#include "platform/file.h"
#include "tests/support/catch_exception.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("data.bin");
    void SetUp() override { WriteFileBytes(path, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}); }
};

TEST_F(FileTest, OpenOfAMissingFileNamesThePathAsPassed)
{
    const std::string missing = dir.Path("missing.exe");
    const CFileException e = CatchException<CFileException>([&] { CFile file(missing.c_str(), CFile::modeRead); });
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.GetErrorMessageText(256).str(), missing + " was not found.");
}

TEST_F(FileTest, OpenInAMissingFolderIsABadPath)
{
    const std::string bad = dir.Path("no-such-folder") + "/x.exe";
    const CFileException e =
        CatchException<CFileException>([&] { CFile file(bad.c_str(), CFile::modeCreate | CFile::modeWrite); });
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_EQ(e.m_strFileName.str(), bad);
}

TEST_F(FileTest, OpeningAFolderIsAccessDenied)
{
    const CFileException e = CatchException<CFileException>([&] { CFile file(dir.Root().c_str(), CFile::modeRead); });
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
}

TEST_F(FileTest, SeekReadAndLengthWorkTogether)
{
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    EXPECT_EQ(file.Seek(-6, CFile::end), 4);
    unsigned char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 6u) << "a read at the end returns what there is";
    EXPECT_EQ(buffer[0], 5);
    EXPECT_EQ(file.Seek(3, CFile::begin), 3);
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.GetPosition(), 3u) << "GetLength leaves the position where it was";
    EXPECT_EQ(file.Seek(100, CFile::begin), 100) << "a position beyond the end is allowed";
    EXPECT_EQ(file.Read(buffer, 8), 0u);
}

TEST_F(FileTest, SeekBeforeTheStartIsBadSeekWithoutName)
{
    CFile file(path.c_str(), CFile::modeRead);
    const CFileException e = CatchException<CFileException>([&] { file.Seek(-11, CFile::end); });
    EXPECT_EQ(e.m_cause, CFileException::badSeek);
    EXPECT_EQ(e.GetErrorMessageText(256).str(), "Seek failed on an unnamed file");
}

TEST_F(FileTest, SetLengthCutsAndLeavesThePositionThere)
{
    {
        CFile file(path.c_str(), CFile::modeReadWrite);
        file.SetLength(4);
        EXPECT_EQ(file.GetPosition(), 4u);
        const unsigned char tail[] = {42};
        file.Write(tail, 1);
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3, 4, 42}));
}

TEST_F(FileTest, CreateEmptiesAnExistingFile)
{
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(FileTest, AnExclusiveHolderMakesEveryOtherOpenASharingViolation)
{
    CFile holder(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
    for (const UINT flags : {UINT{CFile::modeRead | CFile::shareDenyNone}, UINT{CFile::modeReadWrite},
                             UINT{CFile::modeCreate | CFile::modeWrite}}) {
        const CFileException e = CatchException<CFileException>([&] { CFile other(path.c_str(), flags); });
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation) << "flags " << flags;
        EXPECT_EQ(e.GetErrorMessageText(256).str(), "A sharing violation occurred while accessing " + path + ".");
    }
    holder.Close();
    EXPECT_EQ(ReadFileBytes(path).size(), 10u) << "a refused create-open must not empty the file";
}

TEST_F(FileTest, SharedReadersCoexistButKeepAnExclusiveOpenerOut)
{
    CFile first(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    CFile second(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    const CFileException e = CatchException<CFileException>([&] { CFile other(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive); });
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
}

#if !defined(_WIN32)
TEST(FileWrite, AFullDiskNamesTheFullPath)
{
    CFile full("/dev/full", CFile::modeWrite | CFile::shareDenyNone);
    const unsigned char byte = 0;
    const CFileException e = CatchException<CFileException>([&] { full.Write(&byte, 1); });
    EXPECT_EQ(e.m_cause, CFileException::diskFull);
    EXPECT_EQ(e.GetErrorMessageText(256).str(), "Disk full while accessing /dev/full.");
}
#endif

TEST_F(FileTest, RenameNeverReplacesAndRemoveReportsFailure)
{
    const std::string other = dir.Path("other.bin");
    WriteFileBytes(other, Bytes{7});
    EXPECT_FALSE(RenameFile(path.c_str(), other.c_str()));
    EXPECT_EQ(ReadFileBytes(other), Bytes{7});
    EXPECT_TRUE(RemoveFile(other.c_str()));
    EXPECT_FALSE(RemoveFile(other.c_str()));
    EXPECT_TRUE(RenameFile(path.c_str(), other.c_str()));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(other).size(), 10u);
    EXPECT_FALSE(RenameFile(path.c_str(), dir.Path("third.bin").c_str())) << "a missing source";
}

}  // namespace
