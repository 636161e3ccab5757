#include "platform/exceptions.h"
#include "platform/file.h"
#include "store/container_file.h"
#include "store/record_keys.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/store_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What an exception said, whichever platform exception it was.
struct Raised {
    const CRuntimeClass* cls = nullptr;
    int cause = -1;
    std::string name;
    std::string text;
};

template <typename F>
Raised Catch(F action)
{
    Raised raised;
    try {
        action();
        ADD_FAILURE() << "nothing was raised";
    } catch (const CFileException& e) {
        raised = {e.GetRuntimeClass(), e.m_cause, e.m_strFileName.str(), e.GetErrorMessageText(256).str()};
    } catch (const CArchiveException& e) {
        raised = {e.GetRuntimeClass(), e.m_cause, e.m_strFileName.str(), e.GetErrorMessageText(256).str()};
    }
    return raised;
}

std::vector<int> Keys(const CUpdateDir& dir)
{
    std::vector<int> keys;
    for (const auto& child : dir.GetChildren())
        keys.push_back(child->m_nKey);
    return keys;
}

void SetRecordBytes(CUpdateFile& container, int group, int key, const Bytes& data)
{
    container.SetRecord(group, key, data.data(), static_cast<DWORD>(data.size()));
}

class ContainerTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("book.exe");
};

// ---- the offset file ----

TEST_F(ContainerTest, OriginThreeCountsFromTheBaseWithA32BitSum)
{
    WriteFileBytes(path, Image(300));
    COffsetFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    struct Case {
        DWORD base;
        LONG offset;
        UINT origin;
        LONG position;
    };
    const Case cases[] = {
        {100, 5, COffsetFile::fromBase, 105},   {100, -100, COffsetFile::fromBase, 0},
        {0xFFFFFFFF, 1, COffsetFile::fromBase, 0}, {100, 7, CFile::begin, 7},
        {100, -6, CFile::end, 294},             {100, 3, CFile::current, 297},
    };
    for (const Case& c : cases) {
        file.m_nBaseOffset = c.base;
        EXPECT_EQ(file.Seek(c.offset, c.origin), c.position) << c.base << " " << c.offset << " " << c.origin;
    }
    file.m_nBaseOffset = 0x80000000;
    EXPECT_THROW(file.Seek(0, COffsetFile::fromBase), CFileException);
}

// ---- Open ----

TEST_F(ContainerTest, TheExampleOpensBehindItsImage)
{
    WriteFileBytes(path, ContainerBytes(Image(kExampleBaseOffset), ExampleTreeBytes()));
    CUpdateFile container;
    container.Open(path.c_str(), TRUE);
    EXPECT_EQ(container.m_strPath.str(), path);
    ASSERT_NE(container.m_pFile, nullptr);
    EXPECT_EQ(container.m_pFile->m_nBaseOffset, kExampleBaseOffset);
    EXPECT_EQ(container.m_pFile->GetPosition(), kExampleBaseOffset + 298) << "right after the tree";
    EXPECT_EQ(container.m_nLoadEnd, kExampleBaseOffset + 298);

    CUpdateDir expected;
    BuildExampleTree(expected);
    EXPECT_EQ(DumpTree(container.m_root), DumpTree(expected));
    for (const int key : {14, 17, 18}) {
        ASSERT_NE(container.GetRecord(GROUP_BOOK, key), nullptr) << key;
        EXPECT_EQ(RecordBytes(*container.GetRecord(GROUP_BOOK, key)), ExampleBlob(key));
    }
    EXPECT_EQ(container.GetRecord(GROUP_BOOK + 65536, REC_LINK_TABLE + 65536), container.GetRecord(350, 17));
    EXPECT_EQ(container.GetRecord(GROUP_BOOK, 15), nullptr);
    EXPECT_EQ(container.GetRecord(GROUP_PAGES, 14), nullptr);
}

TEST_F(ContainerTest, AFileWithoutTrailerHasAnEmptyTreeBasedAtItsEnd)
{
    for (const std::size_t length : {std::size_t{6}, std::size_t{1000}}) {
        WriteFileBytes(path, Image(length));
        CUpdateFile container;
        container.Open(path.c_str(), FALSE);
        EXPECT_TRUE(container.m_root.GetChildren().empty());
        EXPECT_EQ(container.m_pFile->m_nBaseOffset, length);
        EXPECT_EQ(container.m_pFile->GetPosition(), length);
    }
}

TEST_F(ContainerTest, TheTrailerReadAsATreeBelow65536LoadsEmpty)
{
    WriteFileBytes(path, Concat(Image(100), Trailer(100)));
    CUpdateFile container;
    container.Open(path.c_str(), TRUE);
    EXPECT_TRUE(container.m_root.GetChildren().empty());
    EXPECT_EQ(container.m_root.m_nKey, 100) << "the root's key is the offset's low half";
}

TEST_F(ContainerTest, AMissingFileFailsWithThePathAsPassed)
{
    CUpdateFile container;
    const Raised e = Catch([&] { container.Open(path.c_str(), TRUE); });
    EXPECT_EQ(e.cls, RUNTIME_CLASS(CFileException));
    EXPECT_EQ(e.cause, CFileException::fileNotFound);
    EXPECT_EQ(e.text, path + " was not found.");
    EXPECT_EQ(container.m_strPath.str(), path);
    EXPECT_EQ(container.m_pFile, nullptr);
    EXPECT_TRUE(container.m_root.GetChildren().empty());
}

struct OpenFailure {
    const char* what;
    Bytes file;
    const CRuntimeClass* cls;
    int cause;
    bool named;       // the error carries the full path
    const char* text; // %1: the full path, or "an unnamed file"
};

constexpr const char* kSeekText = "Seek failed on %1";
constexpr const char* kEndText = "An attempt was made to access %1 past its end.";
constexpr const char* kFormatText = "%1 has a bad format.";

const Bytes kRootWithAPlainRecord = StreamBuilder()
                                        .Word(0).Word(2)
                                        .NewClass("CUpdateDir").Word(350).Word(1)
                                        .NewClass("CUpdateElem").Word(14).Dword(2).Word(0xABCD)
                                        .Word(0x8003).Word(5).Dword(0);

std::vector<OpenFailure> OpenFailures()
{
    std::vector<OpenFailure> cases;
    for (std::size_t length = 0; length < 6; ++length)
        cases.push_back({"shorter than a trailer", Bytes(length, 0x47), RUNTIME_CLASS(CFileException),
                         CFileException::badSeek, false, kSeekText});
    for (const std::uint32_t base : {0x80000000u, 0xFFFFFFF0u})
        cases.push_back({"base offset of 2^31 or more", Concat(Image(100), Trailer(base)), RUNTIME_CLASS(CFileException),
                         CFileException::badSeek, false, kSeekText});
    for (const std::uint32_t base : {106u, 107u, 5000u})
        cases.push_back({"base offset at or past the end", Concat(Image(100), Trailer(base)),
                         RUNTIME_CLASS(CArchiveException), CArchiveException::endOfFile, false, kEndText});
    cases.push_back({"the trailer read as a tree, offset 65536 or more", Concat(Image(70000), Trailer(70000)),
                     RUNTIME_CLASS(CArchiveException), CArchiveException::badIndex, true, kFormatText});
    const Bytes example = ExampleTreeBytes();
    cases.push_back({"a tree cut short", ContainerBytes(Image(10), Bytes(example.begin(), example.begin() + 100)),
                     RUNTIME_CLASS(CArchiveException), CArchiveException::endOfFile, false, kEndText});
    cases.push_back({"a root holding a plain record", ContainerBytes(Image(10), kRootWithAPlainRecord),
                     RUNTIME_CLASS(CArchiveException), CArchiveException::badIndex, true, kFormatText});
    return cases;
}

TEST_F(ContainerTest, EveryOpenFailureRaisesItsErrorAndKeepsTheFileOpen)
{
    for (const OpenFailure& c : OpenFailures()) {
        SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.file.size()) + " bytes");
        WriteFileBytes(path, c.file);
        CUpdateFile container;
        const Raised e = Catch([&] { container.Open(path.c_str(), TRUE); });
        EXPECT_EQ(e.cls, c.cls);
        EXPECT_EQ(e.cause, c.cause);
        EXPECT_EQ(e.name, c.named ? FullPath(path) : "");
        EXPECT_NE(container.m_pFile, nullptr) << "the file stays open";
        std::string text = c.text;
        text.replace(text.find("%1"), 2, c.named ? FullPath(path) : "an unnamed file");
        EXPECT_EQ(e.text, text);
    }
}

TEST_F(ContainerTest, ABaseOffsetBeyondTwoGigabytesIsKept)
{
    WriteFileBytes(path, Concat(Image(100), Trailer(0x80000000)));
    CUpdateFile container;
    EXPECT_THROW(container.Open(path.c_str(), TRUE), CFileException);
    EXPECT_EQ(container.m_pFile->m_nBaseOffset, 0x80000000u);
    EXPECT_TRUE(container.m_root.GetChildren().empty());
}

TEST_F(ContainerTest, APlainRecordAtTheRootIsNeverTakenForAGroup)
{
    WriteFileBytes(path, ContainerBytes(Image(10), kRootWithAPlainRecord));
    CUpdateFile container;
    EXPECT_THROW(container.Open(path.c_str(), TRUE), CArchiveException);
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{350, 5})) << "what was read completely stays";
    EXPECT_NE(container.GetRecord(350, 14), nullptr);
    EXPECT_EQ(container.GetRecord(5, 0), nullptr);

    container.SetRecord(5, 0, nullptr, 0);
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{350, 5}));
    SetRecordBytes(container, 5, 0, Blob(3, 1));
    EXPECT_EQ(RecordBytes(*container.GetRecord(5, 0)), Blob(3, 1));
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{350, 5}));
}

TEST_F(ContainerTest, AFailedLoadKeepsTheGroupsReadCompletely)
{
    CUpdateDir tree;
    AddRecord(AddGroup(tree, GROUP_PAGES), 1, Blob(5, 1));
    BuildExampleTree(tree);
    const Bytes stream = StoreBody(tree);

    struct Case {
        const char* what;
        Bytes file;
        std::size_t failingAllocation;  // 0: none
    };
    const Case cases[] = {
        {"cut inside record 17", ContainerBytes(Image(10), Bytes(stream.begin(), stream.end() - 20)), 0},
        {"no memory for record 17", ContainerBytes(Image(10), stream), 223},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(path, c.file);
        CUpdateFile container;
        if (c.failingAllocation) {
            FailingArrayAllocation failing(c.failingAllocation);
            EXPECT_THROW(container.Open(path.c_str(), TRUE), CMemoryException);
        } else {
            EXPECT_THROW(container.Open(path.c_str(), TRUE), CArchiveException);
        }
        EXPECT_EQ(DumpTree(container.m_root), "dir 0 {" + DumpTree(*tree.Find(GROUP_PAGES)) + "}");
        EXPECT_NE(container.m_pFile, nullptr);
    }
}

TEST_F(ContainerTest, AFailedLoadTellsWhereItStopped)
{
    const Bytes stream = ExampleTreeBytes();
    struct Case {
        const char* what;
        Bytes tree;
        DWORD stop;  // from the base offset
    };
    Bytes badTag = stream;
    badTag[54] = 0x80;
    badTag[53] = 0x09;  // record 17's class tag names index 9, not yet given out
    const Case cases[] = {
        {"record 17's blob cut short", Bytes(stream.begin(), stream.begin() + 100), 61},
        {"record 17's class tag unknown", badTag, 55},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(path, ContainerBytes(Image(10), c.tree));
        CUpdateFile container;
        EXPECT_THROW(container.Open(path.c_str(), TRUE), CArchiveException);
        EXPECT_EQ(container.m_nLoadEnd, 10 + c.stop);
    }
}

// ---- Save ----

TEST_F(ContainerTest, AFreshFileGrowsByTheTreeAndTheTrailer)
{
    const Bytes image = Image(kExampleBaseOffset);
    WriteFileBytes(path, image);
    CUpdateFile container;
    container.Open(path.c_str(), FALSE);
    for (const int key : {14, 17, 18})
        SetRecordBytes(container, GROUP_BOOK, key, ExampleBlob(key));
    container.Save();
    EXPECT_NE(container.m_pFile, nullptr) << "the file stays open";
    container.Close();

    const Bytes saved = ReadFileBytes(path);
    EXPECT_EQ(saved.size(), image.size() + 298 + 6);
    EXPECT_EQ(saved, ContainerBytes(image, ExampleTreeBytes()));
}

TEST_F(ContainerTest, AContainerWithoutGroupsSavesAsTenBytes)
{
    const Bytes image = Image(1000);
    WriteFileBytes(path, image);
    CUpdateFile container;
    container.Open(path.c_str(), FALSE);
    container.Save();
    container.Close();
    EXPECT_EQ(ReadFileBytes(path), Concat(image, Bytes{0, 0, 0, 0, 0xE8, 0x03, 0, 0, 0x4B, 0x47}));
}

TEST_F(ContainerTest, SavingTwiceWritesIdenticalBytes)
{
    const Bytes original = ContainerBytes(Image(5000), ExampleTreeBytes());
    WriteFileBytes(path, original);
    CUpdateFile container;
    container.Open(path.c_str(), FALSE);
    container.Save();
    // Read through the container's own file: it holds the file exclusively.
    Bytes once(container.m_pFile->GetLength());
    container.m_pFile->Seek(0, CFile::begin);
    EXPECT_EQ(container.m_pFile->Read(once.data(), static_cast<UINT>(once.size())), once.size());
    container.Save();
    container.Close();
    EXPECT_EQ(once, original);
    EXPECT_EQ(ReadFileBytes(path), original);
}

TEST_F(ContainerTest, SaveRewritesTheTreeAndCutsWhatFollowedIt)
{
    const Bytes image = Image(5000);
    const Bytes junk = Blob(50, 9);
    const Bytes smaller = StreamBuilder()
                              .Word(0).Word(1)
                              .NewClass("CUpdateDir").Word(350).Word(2)
                              .NewClass("CUpdateElem").Word(14).Dword(6).Append(ExampleBlob(14))
                              .Word(0x8003).Word(18).Dword(6).Append(ExampleBlob(18));
    struct Case {
        const char* what;
        Bytes file;
        int removed;  // record of group 350 to remove before saving; 0: none
        Bytes tree;
    };
    const Case cases[] = {
        {"a smaller tree leaves no tail", ContainerBytes(image, ExampleTreeBytes()), 17, smaller},
        {"bytes between tree and trailer are ignored, then gone",
         Concat(Concat(image, ExampleTreeBytes()), Concat(junk, Trailer(5000))), 0, ExampleTreeBytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(path, c.file);
        CUpdateFile container;
        container.Open(path.c_str(), FALSE);
        EXPECT_NE(container.GetRecord(GROUP_BOOK, 17), nullptr);
        if (c.removed)
            container.SetRecord(GROUP_BOOK, c.removed, nullptr, 0);
        container.Save();
        container.Close();
        EXPECT_EQ(ReadFileBytes(path), ContainerBytes(image, c.tree));
    }
}

TEST_F(ContainerTest, AFailedSaveRaisesAFileErrorAndLeavesTheTree)
{
    const Bytes original = ContainerBytes(Image(100), ExampleTreeBytes());
    WriteFileBytes(path, original);
    CUpdateFile container;
    container.Open(path.c_str(), TRUE);
    const std::string before = DumpTree(container.m_root);
    const Raised e = Catch([&] { container.Save(); });
    EXPECT_EQ(e.cls, RUNTIME_CLASS(CFileException));
    EXPECT_EQ(e.name, FullPath(path)) << "a failed write names the full path";
    EXPECT_EQ(DumpTree(container.m_root), before);
    EXPECT_NE(container.m_pFile, nullptr);
    container.Close();
    EXPECT_EQ(ReadFileBytes(path), original);

    const Raised closed = Catch([&] { container.Save(); });
    EXPECT_EQ(closed.cls, RUNTIME_CLASS(CFileException));
    EXPECT_EQ(closed.cause, CFileException::invalidFile);
}

// ---- records by group and key ----

class ContainerRecords : public ::testing::Test {
protected:
    CUpdateFile container;  // never opened: records live in memory only
    void SetUp() override
    {
        for (const int key : {14, 17, 18})
            SetRecordBytes(container, GROUP_BOOK, key, ExampleBlob(key));
        SetRecordBytes(container, GROUP_PAGES, 7, Blob(4, 7));
    }
    const CUpdateDir& Group(int group) const { return static_cast<const CUpdateDir&>(*container.m_root.Find(group)); }
};

TEST_F(ContainerRecords, NewGroupsAndRecordsGoLast)
{
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{GROUP_BOOK, GROUP_PAGES}));
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{14, 17, 18}));
    EXPECT_EQ(RecordBytes(*container.GetRecord(GROUP_PAGES, 7)), Blob(4, 7));
}

TEST_F(ContainerRecords, SizeZeroCreatesNothing)
{
    container.SetRecord(12, 1, nullptr, 0);
    container.SetRecord(GROUP_BOOK, 99, nullptr, 0);
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{GROUP_BOOK, GROUP_PAGES}));
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{14, 17, 18}));
}

TEST_F(ContainerRecords, AGroupGoesWithItsLastRecord)
{
    container.SetRecord(GROUP_PAGES, 7, nullptr, 0);
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{GROUP_BOOK}));
    container.SetRecord(GROUP_BOOK, 17, nullptr, 0);
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{14, 18}));
    EXPECT_EQ(container.GetRecord(GROUP_BOOK, 17), nullptr);
}

TEST_F(ContainerRecords, AnExistingRecordKeepsItsPlaceAndItsObject)
{
    CUpdateElem* record = container.GetRecord(GROUP_BOOK, 14);
    SetRecordBytes(container, GROUP_BOOK + 65536, 14 + 65536, Blob(9, 1));
    EXPECT_EQ(container.GetRecord(GROUP_BOOK, 14), record);
    EXPECT_EQ(RecordBytes(*record), Blob(9, 1));
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{14, 17, 18}));

    container.SetRecord(GROUP_BOOK, 14, nullptr, 0);
    SetRecordBytes(container, GROUP_BOOK, 14, Blob(2, 2));
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{17, 18, 14})) << "removed and added again: last";
}

TEST_F(ContainerRecords, RecordsStayUsableAfterClose)
{
    TempDir dir;
    const std::string path = dir.Path("closed.exe");
    WriteFileBytes(path, ContainerBytes(Image(10), ExampleTreeBytes()));
    CUpdateFile opened;
    opened.Open(path.c_str(), TRUE);
    opened.Close();
    EXPECT_EQ(opened.m_pFile, nullptr);
    EXPECT_EQ(RecordBytes(*opened.GetRecord(GROUP_BOOK, 17)), ExampleBlob(17));
    SetRecordBytes(opened, GROUP_BOOK, 17, Blob(1, 1));
    EXPECT_EQ(RecordBytes(*opened.GetRecord(GROUP_BOOK, 17)), Blob(1, 1));
}

TEST_F(ContainerRecords, AnAllocationThatFailsAddsNothingAndEmptiesWhatItReplaced)
{
    const Bytes big = Blob(3000, 4);
    {
        FailingArrayAllocation failing(big.size());
        EXPECT_THROW(SetRecordBytes(container, 12, 1, big), CMemoryException);
    }
    EXPECT_EQ(Keys(container.m_root), (std::vector<int>{GROUP_BOOK, GROUP_PAGES})) << "no new group";
    {
        FailingArrayAllocation failing(big.size());
        EXPECT_THROW(SetRecordBytes(container, GROUP_BOOK, 19, big), CMemoryException);
    }
    EXPECT_EQ(Keys(Group(GROUP_BOOK)), (std::vector<int>{14, 17, 18})) << "no new record";
    {
        FailingArrayAllocation failing(big.size());
        EXPECT_THROW(SetRecordBytes(container, GROUP_BOOK, 17, big), CMemoryException);
    }
    const CUpdateElem* emptied = container.GetRecord(GROUP_BOOK, 17);
    ASSERT_NE(emptied, nullptr);
    EXPECT_EQ(emptied->m_pData, nullptr);
    EXPECT_EQ(emptied->m_nSize, 0u);
}

// ---- sharing ----

TEST_F(ContainerTest, AReadWriteContainerHoldsTheFileExclusively)
{
    WriteFileBytes(path, ContainerBytes(Image(100), ExampleTreeBytes()));
    {
        CUpdateFile holder;
        holder.Open(path.c_str(), FALSE);
        for (const BOOL readOnly : {TRUE, FALSE}) {
            CUpdateFile other;
            const Raised e = Catch([&] { other.Open(path.c_str(), readOnly); });
            EXPECT_EQ(e.cause, CFileException::sharingViolation);
            EXPECT_EQ(e.text, "A sharing violation occurred while accessing " + path + ".");
        }
    }
    CUpdateFile after;
    after.Open(path.c_str(), FALSE);
    EXPECT_NE(after.GetRecord(GROUP_BOOK, 17), nullptr) << "destroying the holder closed the file";
}

TEST_F(ContainerTest, AReadOnlyContainerLetsOthersOpenTheFile)
{
    WriteFileBytes(path, ContainerBytes(Image(100), ExampleTreeBytes()));
    CUpdateFile reader;
    reader.Open(path.c_str(), TRUE);
    CUpdateFile second;
    second.Open(path.c_str(), TRUE);
    EXPECT_NE(second.GetRecord(GROUP_BOOK, 17), nullptr);
    CFile writer(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone);
    EXPECT_EQ(writer.GetLength(), 100u + 298 + 6);
}

}  // namespace
