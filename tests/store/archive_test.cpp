#include "platform/exceptions.h"
#include "platform/file.h"
#include "store/archive.h"
#include "store/record_tree.h"
#include "tests/support/catch_exception.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/store_fixtures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

Bytes Tail(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.end() - static_cast<std::ptrdiff_t>(count), bytes.end());
}

// ---- the worked example ----

struct BufferCase {
    int bufferSize;
    bool callerBuffer;
};

class ExampleTree : public ::testing::TestWithParam<BufferCase> {
protected:
    TempDir dir;
    std::string path = dir.Path("book.exe");
    Bytes image = Image(kExampleBaseOffset);
    std::vector<BYTE> callerBuffer = std::vector<BYTE>(static_cast<std::size_t>(GetParam().bufferSize));

    void* Buffer() { return GetParam().callerBuffer ? callerBuffer.data() : nullptr; }
};

TEST_P(ExampleTree, StoredBehindTheImageGivesExactlyItsBytesAndTrailer)
{
    WriteFileBytes(path, image);
    CUpdateDir root;
    BuildExampleTree(root);
    {
        CFile file(path.c_str(), CFile::modeReadWrite);
        file.Seek(static_cast<LONG>(kExampleBaseOffset), CFile::begin);
        CArchive ar(&file, CArchive::store, GetParam().bufferSize, Buffer());
        root.Serialize(ar);
        ar << static_cast<DWORD>(kExampleBaseOffset) << static_cast<WORD>(0x474B);
        ar.Close();
    }
    const Bytes written = ReadFileBytes(path);
    ASSERT_EQ(written.size(), kExampleBaseOffset + 298 + 6);
    EXPECT_EQ(Tail(written, 6), (Bytes{0x00, 0x40, 0x08, 0x00, 0x4B, 0x47}));
    EXPECT_EQ(written, ContainerBytes(image, ExampleTreeBytes()));
}

TEST_P(ExampleTree, LoadsBackAndLeavesTheFileRightAfterTheTree)
{
    WriteFileBytes(path, ContainerBytes(image, ExampleTreeBytes()));
    CUpdateDir root;
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    file.Seek(static_cast<LONG>(kExampleBaseOffset), CFile::begin);
    CArchive ar(&file, CArchive::load, GetParam().bufferSize, Buffer());
    root.Serialize(ar);
    ar.Close();
    EXPECT_EQ(file.GetPosition(), kExampleBaseOffset + 298);

    CUpdateDir expected;
    BuildExampleTree(expected);
    EXPECT_EQ(DumpTree(root), DumpTree(expected));
    EXPECT_EQ(RecordBytes(*static_cast<CUpdateDir*>(root.Find(350))->Find(17)), ExampleBlob(17));
}

// 128 is the least size (1 is raised to it); 200 and 250 flush in the middle of record 17,
// whose 223-byte blob goes straight to the file when it does not fit.
INSTANTIATE_TEST_SUITE_P(BufferSizes, ExampleTree,
                         ::testing::Values(BufferCase{1, false}, BufferCase{128, false}, BufferCase{200, false},
                                           BufferCase{250, true}, BufferCase{4096, false}, BufferCase{4096, true}));

// ---- counts and tags at their escapes ----

TEST(ArchiveEncoding, CountsBelowTheEscapeAreAWordAndTheRestADword)
{
    struct Case {
        DWORD count;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {0x00, 0x00}},
        {65534, {0xFE, 0xFF}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {65536, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
        {0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(StoreStream([&](CArchive& ar) { ar.WriteCount(c.count); }), c.bytes);
        DWORD read = 0;
        LoadStream(c.bytes, dir.Path("count.bin"), [&](CArchive& ar) { read = ar.ReadCount(); });
        EXPECT_EQ(read, c.count);
    }
}

TEST(ArchiveEncoding, ADirectoryOf65535ChildrenUsesTheEscapedCount)
{
    CUpdateDir root;
    CUpdateDir& group = AddGroup(root, 349);
    for (int key = 0; key < 65535; ++key)
        group.AddChild(std::make_unique<CUpdateElem>(), key);
    const Bytes stream = StoreBody(root);
    const Bytes head = StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir").Word(349).Word(0xFFFF).Dword(65535);
    ASSERT_GT(stream.size(), head.size());
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(head.size())), head);

    CUpdateDir loaded;
    LoadBody(loaded, stream);
    EXPECT_EQ(DumpTree(loaded), DumpTree(root));
}

// Elements fill the indices 1 (their class) and 2 up; the directory class then gets the
// next index, which decides whether its tags and the references fit in a WORD.
struct TagCase {
    int elements;
    Bytes secondDirTag;  // the class tag of the second directory
    int referenced;      // the object written again: -1 the first directory, else an element
    Bytes reference;
};

class TagEscapes : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagEscapes, IndicesFromThe7FFFEscapeOnAreWrittenAsDwords)
{
    const TagCase& c = GetParam();
    CUpdateDir root;
    for (int key = 0; key < c.elements; ++key)
        root.AddChild(std::make_unique<CUpdateElem>(), key);
    CUpdateElem* firstDir = root.AddChild(std::make_unique<CUpdateDir>(), 40001);
    root.AddChild(std::make_unique<CUpdateDir>(), 40002);
    const CObject* again = c.referenced < 0 ? firstDir : root.Find(c.referenced);

    const Bytes stream = StoreStream([&](CArchive& ar) {
        root.Serialize(ar);
        ar.WriteObject(again);
    });
    const Bytes tail = StreamBuilder()
                           .NewClass("CUpdateDir").Word(40001).Word(0)
                           .Append(c.secondDirTag).Word(40002).Word(0)
                           .Append(c.reference);
    EXPECT_EQ(Tail(stream, tail.size()), tail);

    // Read back: the escaped class tag names the class; the trailing reference would give
    // a record a second owner.
    TempDir dir;
    const std::string path = dir.Path("tags.bin");
    CUpdateDir loaded;
    const CArchiveException e = CatchException<CArchiveException>([&] {
        LoadStream(stream, path, [&](CArchive& ar) {
            loaded.Serialize(ar);
            ar.ReadObject();
        });
    });
    EXPECT_EQ(DumpTree(loaded), DumpTree(root));
    EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
}

INSTANTIATE_TEST_SUITE_P(
    AroundTheEscape, TagEscapes,
    ::testing::Values(
        // directory class 32766, first directory 32767
        TagCase{32764, {0xFE, 0xFF}, -1, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}},
        // last element 32766, directory class 32767
        TagCase{32765, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}, 32764, {0xFE, 0x7F}}));

TEST(ArchiveEncoding, LaterRecordsOfAClassCarryTheTwoByteTagNotTheName)
{
    CUpdateDir root;
    BuildExampleTree(root);
    AddRecord(AddGroup(root, 349), 1, {});
    const Bytes example = ExampleTreeBytes();
    const Bytes expected = StreamBuilder()
                               .Word(0).Word(2)
                               .Append(Bytes(example.begin() + 4, example.end()))
                               .Word(0x8001).Word(349).Word(1)
                               .Word(0x8003).Word(1).Dword(0);
    EXPECT_EQ(StoreBody(root), expected);
}

// ---- load failures ----

struct FailureCase {
    const char* what;
    Bytes stream;
    int cause;
};

const std::string kLong63(63, 'X');
const std::string kLong64 = "CUpdateDir" + std::string(54, ' ');

// A root with one group that holds one record: indices 1 to 4 are given out.
StreamBuilder FourIndicesThen(int groupChildren)
{
    StreamBuilder builder;
    builder.Word(0).Word(1)
        .NewClass("CUpdateDir").Word(350).Word(static_cast<std::uint32_t>(groupChildren))
        .NewClass("CUpdateElem").Word(14).Dword(0);
    return builder;
}

// A root whose first child, an empty group, gave out indices 1 (class) and 2 (object).
StreamBuilder OneGroupThen(int rootChildren)
{
    StreamBuilder builder;
    builder.Word(0).Word(static_cast<std::uint32_t>(rootChildren)).NewClass("CUpdateDir").Word(350).Word(0);
    return builder;
}

const FailureCase kFailures[] = {
    {"empty stream", {}, CArchiveException::endOfFile},
    {"stops between two records", OneGroupThen(2), CArchiveException::endOfFile},
    {"escaped count cut short", StreamBuilder().Word(0).Word(0xFFFF).Word(1), CArchiveException::endOfFile},
    {"blob the file cannot fill", StreamBuilder().Word(0).Word(1).NewClass("CUpdateElem").Word(1).Dword(10).Append(Blob(9, 0)),
     CArchiveException::endOfFile},
    {"the trailer read as a tree, high half 0xFFFF", {0x06, 0x00, 0xFF, 0xFF, 0x4B, 0x47}, CArchiveException::endOfFile},
    {"schema 2", StreamBuilder().Word(0).Word(1).NewClass("CUpdateElem", 2).Word(1).Dword(0), CArchiveException::badSchema},
    {"schema 0", StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir", 0).Word(1).Word(0), CArchiveException::badSchema},
    {"name in another case", StreamBuilder().Word(0).Word(1).NewClass("CUpdateelem"), CArchiveException::badClass},
    {"name with a trailing blank", StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir "), CArchiveException::badClass},
    {"name not registered", StreamBuilder().Word(0).Word(1).NewClass("CObject"), CArchiveException::badClass},
    {"name of 63 bytes goes to the lookup", StreamBuilder().Word(0).Word(1).NewClass(kLong63), CArchiveException::badClass},
    {"name of 64 bytes", StreamBuilder().Word(0).Word(1).NewClass(kLong64), CArchiveException::badClass},
    {"name cut off by the end", StreamBuilder().Word(0).Word(1).Word(0xFFFF).Word(1).Word(10).Text("CUpdate"),
     CArchiveException::badClass},
    {"tag 0x8000", StreamBuilder().Word(0).Word(1).Word(0x8000), CArchiveException::badIndex},
    {"tag 0x8005 with four indices given", FourIndicesThen(2).Word(0x8005), CArchiveException::badIndex},
    {"reference beyond the highest index", StreamBuilder().Word(0).Word(1).Word(0x0001), CArchiveException::badIndex},
    {"escaped class index 0", StreamBuilder().Word(0).Word(1).Word(0x7FFF).Dword(0x80000000), CArchiveException::badIndex},
    {"escaped class index beyond", FourIndicesThen(2).Word(0x7FFF).Dword(0x80000005), CArchiveException::badIndex},
    // Every record keeps one owner: no null children, no second references.
    {"null tag in a child list", OneGroupThen(2).Word(0x0000), CArchiveException::badIndex},
    {"reference to a record read before", OneGroupThen(2).Word(0x0002), CArchiveException::badIndex},
    {"escaped reference to a record", OneGroupThen(2).Word(0x7FFF).Dword(2), CArchiveException::badIndex},
    {"reference to a class", OneGroupThen(2).Word(0x0001), CArchiveException::badIndex},
    {"class tag naming a record", FourIndicesThen(2).Word(0x8004), CArchiveException::badIndex},
};

class LoadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LoadFailure, RaisesItsCauseWithItsText)
{
    TempDir dir;
    const std::string path = dir.Path("tree.bin");
    CUpdateDir root;
    const CArchiveException e = CatchException<CArchiveException>([&] { LoadBody(root, GetParam().stream, path); });
    EXPECT_EQ(e.m_cause, GetParam().cause);

    // The end of the file is reported without a name, everything else with the full path.
    const std::string name = GetParam().cause == CArchiveException::endOfFile ? "" : FullPath(path);
    EXPECT_EQ(e.m_strFileName.str(), name);
    const std::string shown = name.empty() ? "an unnamed file" : name;
    const std::string text = GetParam().cause == CArchiveException::endOfFile ? "An attempt was made to access " + shown + " past its end."
                             : GetParam().cause == CArchiveException::badIndex ? shown + " has a bad format."
                             : GetParam().cause == CArchiveException::badClass ? shown + " contained an unexpected object."
                                                                               : shown + " contains an incorrect schema.";
    EXPECT_EQ(e.GetErrorMessageText(256).str(), text);
}

INSTANTIATE_TEST_SUITE_P(Streams, LoadFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(ArchiveLoad, AClassTagOfAKnownClassAfterFourIndicesLoads)
{
    CUpdateDir root;
    LoadBody(root, FourIndicesThen(2).Word(0x8003).Word(15).Dword(0));
    EXPECT_EQ(DumpTree(root), "dir 0 {dir 350 {elem 14 [0 bytes, no buffer], elem 15 [0 bytes, no buffer]}}");
}

TEST(ArchiveLoad, EveryTruncationOfATreeIsAnEndOfFileOrACutName)
{
    const Bytes whole = ExampleTreeBytes();
    TempDir dir;
    const std::string path = dir.Path("cut.bin");
    for (const int bufferSize : {128, 4096}) {
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            SCOPED_TRACE("buffer " + std::to_string(bufferSize) + ", " + std::to_string(cut) + " bytes");
            CUpdateDir root;
            const CArchiveException e = CatchException<CArchiveException>(
                [&] { LoadBody(root, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)), path, bufferSize); });
            // The class names stand at offsets 10 to 19 and 30 to 40.
            const bool inName = (cut >= 10 && cut < 20) || (cut >= 30 && cut < 41);
            EXPECT_EQ(e.m_cause, inName ? CArchiveException::badClass : CArchiveException::endOfFile);
            EXPECT_TRUE(root.GetChildren().empty()) << "the group was never read completely";
        }
    }
}

TEST(ArchiveLoad, ABlobSizeBeyondTheFileIsRefusedBeforeAnythingIsAllocated)
{
    for (const DWORD size : {DWORD{0xFFFFFFFF}, DWORD{0x7FFFFFFF}, DWORD{7}}) {
        SCOPED_TRACE(size);
        FailingArrayAllocation watch(size);
        CUpdateElem record;
        const CArchiveException e =
            CatchException<CArchiveException>([&] { LoadBody(record, StreamBuilder().Word(1).Dword(size).Append(Blob(6, 0))); });
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_FALSE(watch.Fired()) << "no buffer may be asked for";
        EXPECT_EQ(record.m_pData, nullptr);
    }
}

TEST(ArchiveLoad, ABlobThatCannotBeAllocatedIsOutOfMemory)
{
    FailingArrayAllocation failing(6);
    CUpdateElem record;
    EXPECT_THROW(LoadBody(record, StreamBuilder().Word(1).Dword(6).Append(Blob(6, 0))), CMemoryException);
    EXPECT_TRUE(failing.Fired());
    EXPECT_EQ(record.m_pData, nullptr);
    EXPECT_EQ(record.m_nSize, 0u);
}

TEST(ArchiveLoad, NestingIsLimitedSoNoFileCanExhaustTheStack)
{
    struct Case {
        int depth;
        bool loads;
    };
    for (const Case c : {Case{CArchive::kMaxDepth, true}, Case{CArchive::kMaxDepth + 1, false}}) {
        SCOPED_TRACE(c.depth);
        CUpdateDir chain;
        CUpdateDir* at = &chain;
        for (int level = 1; level <= c.depth; ++level)
            at = &AddGroup(*at, level);
        const Bytes stream = StoreBody(chain);

        TempDir dir;
        const std::string path = dir.Path("deep.bin");
        CUpdateDir loaded;
        if (c.loads) {
            LoadBody(loaded, stream, path);
            EXPECT_EQ(DumpTree(loaded), DumpTree(chain));
            continue;
        }
        const CArchiveException e = CatchException<CArchiveException>([&] { LoadBody(loaded, stream, path); });
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
        EXPECT_EQ(e.m_strFileName.str(), FullPath(path));
    }
}

// ---- byte runs, buffering and direction ----

TEST(ArchiveRead, RunsAndChecksCountTheBufferedBytesAndTheFile)
{
    const Bytes stream = Blob(300, 5);
    TempDir dir;
    for (const int bufferSize : {128, 4096}) {
        SCOPED_TRACE(bufferSize);
        LoadStream(stream, dir.Path("run.bin"), [&](CArchive& ar) {
            WORD first = 0;
            ar >> first;
            EXPECT_EQ(first, stream[0] | stream[1] << 8);
            ar.EnsureReadable(298);
            EXPECT_THROW(ar.EnsureReadable(299), CArchiveException);
            Bytes run(250);
            EXPECT_EQ(ar.Read(run.data(), 250), 250u);
            EXPECT_EQ(run, Bytes(stream.begin() + 2, stream.begin() + 252));
            Bytes rest(100);
            EXPECT_EQ(ar.Read(rest.data(), 100), 48u) << "the end of the file is no error here";
            EXPECT_EQ(Bytes(rest.begin(), rest.begin() + 48), Bytes(stream.begin() + 252, stream.end()));
            EXPECT_EQ(ar.Read(rest.data(), 1), 0u);
            DWORD more = 0;
            EXPECT_THROW(ar >> more, CArchiveException);
        }, bufferSize);
    }
}

TEST(ArchiveDirection, ReadingAStoringArchiveAndWritingALoadingOneAreRefused)
{
    TempDir dir;
    const std::string path = dir.Path("direction.bin");
    WriteFileBytes(path, Blob(10, 1));
    CFile file(path.c_str(), CFile::modeReadWrite);
    struct Case {
        UINT mode;
        int cause;
        std::string text;
    };
    const Case cases[] = {
        {CArchive::load, CArchiveException::readOnly, "An attempt was made to write to the reading " + FullPath(path) + "."},
        {CArchive::store, CArchiveException::writeOnly, "An attempt was made to read from the writing " + FullPath(path) + "."},
    };
    for (const Case& c : cases) {
        CArchive ar(&file, c.mode);
        const CArchiveException e = CatchException<CArchiveException>([&] {
            if (ar.IsLoading()) {
                ar << WORD{1};
            } else {
                WORD value = 0;
                ar >> value;
            }
        });
        EXPECT_EQ(e.m_cause, c.cause);
        EXPECT_EQ(e.GetErrorMessageText(256).str(), c.text);
    }
}

TEST(ArchiveStore, AnArchiveNotClosedDropsWhatItHeldAndNeverRaisesAgain)
{
    TempDir dir;
    const std::string path = dir.Path("dropped.bin");
    WriteFileBytes(path, {});
    {
        CFile file(path.c_str(), CFile::modeReadWrite);
        CArchive ar(&file, CArchive::store, 128);
        ar << DWORD{0x12345678};
    }
    EXPECT_TRUE(ReadFileBytes(path).empty());

    // A write that fails propagates once; the archive's destruction on the way adds nothing.
    CFile readOnly(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    const Bytes run = Blob(200, 3);
    EXPECT_THROW(
        {
            CArchive ar(&readOnly, CArchive::store, 128);
            ar << WORD{7};
            ar.Write(run.data(), static_cast<UINT>(run.size()));
        },
        CFileException);
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

}  // namespace
