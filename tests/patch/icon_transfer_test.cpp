#include "patch/icon_transfer.h"

#include "platform/file.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/message_capture.h"
#include "tests/support/pe_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t kSourceSeed = 0x40;
constexpr std::uint8_t kDestinationSeed = 0xA0;
constexpr std::uint16_t kRtVersion = 16;

// Sections in front of the resources, as a linker leaves them.
PeBuilder Executable()
{
    return PeBuilder().AddSection(".text", Bytes(0x280, 0xC3)).AddSection(".data", Bytes(0x90, 0x11));
}

// An executable whose group icon 128 lists entries, with an image for each and a version
// resource behind them.
PeBuilder WithIcons(const std::vector<GroupIconEntry>& entries, std::uint8_t seed, PeBuilder builder = Executable())
{
    return builder.AddIconSet(entries, seed).AddResource(kRtVersion, 1, Bytes(0x5C, 0x56));
}

// The first count bytes of image id.
Bytes ImageBytes(const PeImage& image, std::uint16_t id, std::uint32_t count)
{
    const std::uint32_t at = image.Find(kRtIcon, id).data;
    return Bytes(image.bytes.begin() + at, image.bytes.begin() + at + count);
}

class IconTransferTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string srcPath = dir.Path("guide.exe");
    std::string dstPath = dir.Path("guide_new.exe");
    MessageCapture messages;

    // Writes both files, runs the transfer and returns what the destination holds then.
    // The source must be unchanged and both files closed, whatever the outcome.
    Bytes Patch(const Bytes& source, const Bytes& destination, BOOL expected)
    {
        WriteFileBytes(srcPath, source);
        WriteFileBytes(dstPath, destination);
        EXPECT_EQ(CIconPatcher().PatchIcons(srcPath.c_str(), dstPath.c_str()), expected);
        EXPECT_EQ(ReadFileBytes(srcPath), source) << "the source is only read";
        ExpectClosed(srcPath);
        ExpectClosed(dstPath);
        return ReadFileBytes(dstPath);
    }

    // Nobody holds the file: an exclusive open succeeds.
    static void ExpectClosed(const std::string& path)
    {
        if (!FileExists(path))
            return;
        try {
            CFile probe(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
        } catch (CFileException& e) {
            ADD_FAILURE() << path << " is still held: " << e.GetErrorMessageText(256).str();
        }
    }

    static std::string FileError(const std::string& name, const std::string& description)
    {
        return "File error with " + name + "\n" + description;
    }
};

TEST_F(IconTransferTest, ABookOnTheTemplateEngineGivesItsImageAndNothingElseChanges)
{
    const PeImage book = WithIcons({Icon32()}, kSourceSeed).Build();
    const PeImage engine = WithIcons({Icon32()}, kDestinationSeed).AddResource(24, 1, Bytes(0x180, 0x3C)).Build();
    ASSERT_EQ(engine.Find(kRtIcon, 1).size, 744u);
    const Bytes patched = Patch(book.bytes, engine.bytes, TRUE);
    EXPECT_EQ(patched, engine.With(engine.Find(kRtIcon, 1).data, ImageBytes(book, 1, 744)));
    EXPECT_TRUE(messages.Messages().empty());
}

// The destination image id gets the first count bytes of the source image id.
struct Copy {
    std::uint16_t id;
    std::uint32_t count;
};

struct CopyCase {
    const char* name;
    std::function<PeImage()> source;
    std::function<PeImage()> destination;
    BOOL result;
    std::vector<Copy> copies;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class IconCopy : public IconTransferTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(IconCopy, CopiesWhatTheSourceGroupListsAndNothingElse)
{
    const CopyCase& c = GetParam();
    const PeImage source = c.source();
    const PeImage destination = c.destination();
    Bytes expected = destination.bytes;
    for (const Copy& copy : c.copies) {
        const Bytes image = ImageBytes(source, copy.id, copy.count);
        std::copy(image.begin(), image.end(), expected.begin() + destination.Find(kRtIcon, copy.id).data);
    }
    EXPECT_EQ(Patch(source.bytes, destination.bytes, c.result), expected);
    EXPECT_TRUE(messages.Messages().empty()) << "no FALSE but a file failure comes with a message";
}

PeImage Template() { return WithIcons({Icon32()}, kDestinationSeed).Build(); }

PeImage BothWidths(std::uint8_t seed) { return WithIcons({Icon32(), Icon16()}, seed).Build(); }

// Named entries at every level, in front of the ID entries: a named type, a named group
// icon, a named image, and a named language in front of the image's only ID language.
PeImage WithNamedEntries(std::uint8_t seed)
{
    return WithIcons({Icon32()}, seed,
                     Executable()
                         .AddResource("AVI", 1, Bytes(0x40, 0x01))
                         .AddResource("TYPELIB", "MAIN", Bytes(0x20, 0x02))
                         .AddGroupIcon("MAINICON", {Icon32(9)})
                         .AddIconImage(1, IconImage(744, static_cast<std::uint8_t>(seed + 0x10)), "NEUTRAL")
                         .AddIconImage(9, IconImage(744, 0x77))
                         .AddIconImage("EXTRA", IconImage(100, 0x55)))
        .Build();
}

const CopyCase kCopyCases[] = {
    {"BothWidthsIntoABookThatHasBoth", [] { return BothWidths(kSourceSeed); },
     [] { return BothWidths(kDestinationSeed); }, TRUE, {{1, 744}, {2, 296}}},
    {"SixteenPixelImageTheTemplateLacksFailsAfterThe32PixelOne", [] { return BothWidths(kSourceSeed); }, Template,
     FALSE, {{1, 744}}},
    {"SixteenPixelImageLargerThanTheDestinationsFailsAfterThe32PixelOne",
     [] { return WithIcons({Icon32(), Icon16(2, 400)}, kSourceSeed).Build(); },
     [] { return BothWidths(kDestinationSeed); }, FALSE, {{1, 744}}},
    {"OfTwoEntriesOfWidth32TheLaterIsCopied",
     [] { return WithIcons({Icon32(1), Icon32(3)}, kSourceSeed).Build(); },
     [] { return WithIcons({Icon32(1), Icon32(3)}, kDestinationSeed).Build(); }, TRUE, {{3, 744}}},
    {"AWidth32EntryOfNoBytesIsNotLookedUp",  // the source has no image 1 at all
     [] { return WithIcons({Icon32(1, 0)}, kSourceSeed).Build(); }, Template, TRUE, {}},
    {"AnEmptyGroupCopiesNothing", [] { return WithIcons({}, kSourceSeed).Build(); }, Template, TRUE, {}},
    {"OtherWidthsArePassedOver",  // images 5 and 6 exist in the source only
     [] { return WithIcons({IconOfWidth(48, 5, 400), IconOfWidth(24, 6, 300)}, kSourceSeed).Build(); }, Template,
     TRUE, {}},
    {"ASmallerSourceImageWritesOnlyItsOwnBytes", [] { return WithIcons({Icon32(1, 600)}, kSourceSeed).Build(); },
     Template, TRUE, {{1, 600}}},
    {"NamedEntriesStandInFrontOfTheIdEntries", [] { return WithNamedEntries(kSourceSeed); },
     [] { return WithNamedEntries(kDestinationSeed); }, TRUE, {{1, 744}}},
    {"OfTwoLanguagesOfGroupIcon128TheFirstIsUsed",
     [] {
         return Executable()
             .AddGroupIcon(128, {Icon32(3)}, 0x0409)
             .AddGroupIcon(128, {Icon32(1)}, 0x0407)
             .AddIconImage(1, IconImage(744, kSourceSeed))
             .AddIconImage(3, IconImage(744, kSourceSeed + 1))
             .Build();
     },
     [] { return WithIcons({Icon32(1), Icon32(3)}, kDestinationSeed).Build(); }, TRUE, {{3, 744}}},
    {"AnImageInTwoLanguagesInTheSourceFails",
     [] {
         return WithIcons({Icon32()}, kSourceSeed, Executable().AddIconImage(1, IconImage(744, 0x33), 0x0407))
             .Build();
     },
     Template, FALSE, {}},
    {"AnImageInTwoLanguagesInTheDestinationFails", [] { return WithIcons({Icon32()}, kSourceSeed).Build(); },
     [] {
         return WithIcons({Icon32()}, kDestinationSeed, Executable().AddIconImage(1, IconImage(744, 0x33), 0x0407))
             .Build();
     },
     FALSE, {}},
    {"IdsAreComparedByTheirLow16Bits", [] { return WithIcons({Icon32()}, kSourceSeed).Build(); },
     [] {
         PeImage image = Template();
         image.PutDword(image.Find(kRtIcon, 1).typeEntry, 0x7FFF0000 | kRtIcon);
         image.PutDword(image.Find(kRtIcon, 1).nameEntry, 0x00010001);
         return image;
     },
     TRUE, {{1, 744}}},
    {"ASectionNamedRsrcIsTakenWhateverItsLastTwoNameBytesHold",
     [] {
         return WithIcons({Icon32()}, kSourceSeed, PeBuilder().ResourceSectionName(std::string(".rsrc\0AB", 8)))
             .Build();
     },
     [] {
         return WithIcons({Icon32()}, kDestinationSeed, PeBuilder().ResourceSectionName(std::string(".rsrc\0\xFF", 7)))
             .Build();
     },
     TRUE, {{1, 744}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, IconCopy, ::testing::ValuesIn(kCopyCases),
                         [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

// Refusals: a header test that fails, a tree that cannot be walked or a hostile value.
// Each is applied to the source or to the destination of a transfer that copies both
// widths when unharmed (the copy case BothWidthsIntoABookThatHasBoth), and must end in
// FALSE, without a message, with nothing written.
enum class Side { Source, Destination };
using Configure = std::function<void(PeBuilder&)>;
using Damage = std::function<void(PeImage&)>;

struct Refusal {
    std::string name;
    Side side;
    Configure configure;  // before the icons are added
    Damage damage;        // after the image is built
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class IconRefusal : public IconTransferTest, public ::testing::WithParamInterface<Refusal> {
protected:
    PeImage Make(Side side, std::uint8_t seed) const
    {
        const Refusal& r = GetParam();
        PeBuilder builder = Executable();
        if (r.side == side && r.configure)
            r.configure(builder);
        PeImage image = WithIcons({Icon32(), Icon16()}, seed, builder).Build();
        if (r.side == side && r.damage)
            r.damage(image);
        return image;
    }
};

TEST_P(IconRefusal, EndsInFalseWithoutMessageAndWritesNothing)
{
    const PeImage destination = Make(Side::Destination, kDestinationSeed);
    EXPECT_EQ(Patch(Make(Side::Source, kSourceSeed).bytes, destination.bytes, FALSE), destination.bytes);
    EXPECT_TRUE(messages.Messages().empty());
}

// The resource section is the third: behind .text and .data.
std::uint32_t ResourceSectionHeader(const PeImage& image) { return image.sectionTable + 2 * 40; }

// An OffsetToData with the subdirectory bit that leads to the given file offset; at a
// data entry it shows that the bit alone refuses the entry.
std::uint32_t LeadsTo(const PeImage& image, std::uint32_t target)
{
    return 0x80000000u | (target - image.rsrcOffset);
}

Damage CutAt(std::function<std::uint32_t(const PeImage&)> where)
{
    return [where](PeImage& image) { image.bytes.resize(where(image)); };
}

Damage Poke32(std::function<std::uint32_t(const PeImage&)> where, std::uint32_t value)
{
    return [where, value](PeImage& image) { image.PutDword(where(image), value); };
}

Damage Poke16(std::function<std::uint32_t(const PeImage&)> where, std::uint16_t value)
{
    return [where, value](PeImage& image) { image.PutWord(where(image), value); };
}

const PeResourcePlacement& Image1(const PeImage& image) { return image.Find(kRtIcon, 1); }
const PeResourcePlacement& Group(const PeImage& image) { return image.Find(kRtGroupIcon, 128); }

void AddBoth(std::vector<Refusal>& list, const std::string& name, Configure configure, Damage damage)
{
    list.push_back({name + "InSource", Side::Source, configure, damage});
    list.push_back({name + "InDestination", Side::Destination, configure, damage});
}

std::vector<Refusal> Refusals()
{
    std::vector<Refusal> list;
    // Header tests.
    AddBoth(list, "Pe32PlusImage", [](PeBuilder& b) { b.Pe32Plus(); }, nullptr);
    AddBoth(list, "Amd64Machine", [](PeBuilder& b) { b.Machine(0x8664); }, nullptr);
    AddBoth(list, "Amd64Pe32Plus", [](PeBuilder& b) { b.Machine(0x8664).Pe32Plus(); }, nullptr);
    AddBoth(list, "Pe32PlusMagicOnAPe32Layout", nullptr,
            Poke16([](const PeImage& i) { return i.ntHeaders + 24; }, 0x020B));
    AddBoth(list, "NoMzSignature", nullptr, Poke16([](const PeImage&) { return 0u; }, 0x4D5A));
    AddBoth(list, "NoPeSignature", nullptr, Poke32([](const PeImage& i) { return i.ntHeaders; }, 0x00014550));
    // The resource section's name.
    AddBoth(list, "SectionNamedInCapitals", [](PeBuilder& b) { b.ResourceSectionName(".RSRC"); }, nullptr);
    AddBoth(list, "SectionNameGoingOnBehindRsrc", [](PeBuilder& b) { b.ResourceSectionName(".rsrcx"); }, nullptr);
    AddBoth(list, "NoSectionNamedRsrc", [](PeBuilder& b) { b.ResourceSectionName(".data"); }, nullptr);
    AddBoth(list, "NoSectionsAtAll", nullptr, Poke16([](const PeImage& i) { return i.ntHeaders + 6; }, 0));
    // Cut short.
    AddBoth(list, "CutInTheDosHeader", nullptr, CutAt([](const PeImage&) { return 10u; }));
    AddBoth(list, "CutInTheNtHeaders", nullptr, CutAt([](const PeImage& i) { return i.ntHeaders + 100; }));
    AddBoth(list, "CutInTheSectionTable", nullptr,
            CutAt([](const PeImage& i) { return ResourceSectionHeader(i) + 20; }));
    AddBoth(list, "CutInTheRootDirectory", nullptr, CutAt([](const PeImage& i) { return i.rsrcOffset + 8; }));
    AddBoth(list, "CutInThe32PixelImage", nullptr, CutAt([](const PeImage& i) { return Image1(i).data + 100; }));
    list.push_back({"CutInTheGroupIcon", Side::Source, nullptr,
                    CutAt([](const PeImage& i) { return Group(i).data + 10; })});
    // Headers pointing anywhere.
    AddBoth(list, "LfanewNegative", nullptr, Poke32([](const PeImage&) { return 60u; }, 0xFFFFFFF0));
    AddBoth(list, "LfanewFarPastTheEnd", nullptr, Poke32([](const PeImage&) { return 60u; }, 0x7FFFFF00));
    AddBoth(list, "LfanewCloseToTheEnd", nullptr,
            [](PeImage& i) { i.PutDword(60, static_cast<std::uint32_t>(i.bytes.size() - 100)); });
    AddBoth(list, "Sections65535NoneNamedRsrc", [](PeBuilder& b) { b.ResourceSectionName(".data"); },
            Poke16([](const PeImage& i) { return i.ntHeaders + 6; }, 0xFFFF));
    AddBoth(list, "ResourceSectionPastTheEnd", nullptr,
            Poke32([](const PeImage& i) { return ResourceSectionHeader(i) + 20; }, 0xFFFFFF00));
    // Directories pointing anywhere.
    AddBoth(list, "Named65535InTheRoot", nullptr, Poke16([](const PeImage& i) { return i.rsrcOffset + 12; }, 0xFFFF));
    AddBoth(list, "Ids65535InTheRootWithoutTheIconType", nullptr, [](PeImage& i) {
        i.PutWord(i.rsrcOffset + 14, 0xFFFF);
        i.PutDword(Image1(i).typeEntry, 0x33);
    });
    AddBoth(list, "NoIconType", nullptr, Poke32([](const PeImage& i) { return Image1(i).typeEntry; }, 4));
    AddBoth(list, "NoImageId1", nullptr, Poke32([](const PeImage& i) { return Image1(i).nameEntry; }, 7));
    AddBoth(list, "TypeEntryLeadsBackToTheRoot", nullptr,
            Poke32([](const PeImage& i) { return Image1(i).typeEntry + 4; }, 0x80000000));
    AddBoth(list, "NameEntryLeadsBackToItsOwnDirectory", nullptr,
            [](PeImage& i) { i.PutDword(Image1(i).nameEntry + 4, LeadsTo(i, Image1(i).nameDirectory)); });
    AddBoth(list, "LanguageEntryMarkedAsLeadingToADirectory", nullptr,
            [](PeImage& i) { i.PutDword(Image1(i).languageEntry + 4, LeadsTo(i, Image1(i).dataEntry)); });
    AddBoth(list, "DirectoryFarPastTheEnd", nullptr,
            Poke32([](const PeImage& i) { return Image1(i).typeEntry + 4; }, 0xFFFFFFFF));
    AddBoth(list, "ImageLanguagesWithoutIdEntry", nullptr,
            Poke16([](const PeImage& i) { return Image1(i).languageDirectory + 14; }, 0));
    // Data pointing anywhere.
    AddBoth(list, "ImageBeforeTheFileStart", nullptr,
            Poke32([](const PeImage& i) { return Image1(i).dataEntry; }, 0x10));
    AddBoth(list, "ImageFarPastTheEnd", nullptr,
            Poke32([](const PeImage& i) { return Image1(i).dataEntry; }, 0xFFFFFFF0));
    list.push_back({"ImageReachedOnlyByWrappingAround32Bits", Side::Destination, nullptr, [](PeImage& i) {
                        // With VirtualAddress 0 this RVA lands on .text's raw data (at 0x200,
                        // behind the headers) in 32-bit arithmetic, 4 GiB past the end without
                        // the wrap-around.
                        i.PutDword(ResourceSectionHeader(i) + 12, 0);
                        i.PutDword(Image1(i).dataEntry, 0u - i.rsrcOffset + 0x200);
                    }});
    list.push_back({"ImageLargerThanTheDestinationsDataEntrySays", Side::Destination, nullptr,
                    Poke32([](const PeImage& i) { return Image1(i).dataEntry + 4; }, 743)});
    // The group icon, read from the source only.
    list.push_back({"NoGroupIconType", Side::Source, nullptr,
                    Poke32([](const PeImage& i) { return Group(i).typeEntry; }, 15)});
    list.push_back({"NoGroupIcon128", Side::Source, nullptr,
                    Poke32([](const PeImage& i) { return Group(i).nameEntry; }, 129)});
    list.push_back({"GroupLanguagesWithoutIdEntry", Side::Source, nullptr,
                    Poke16([](const PeImage& i) { return Group(i).languageDirectory + 14; }, 0)});
    list.push_back({"GroupLanguageMarkedAsLeadingToADirectory", Side::Source, nullptr,
                    [](PeImage& i) { i.PutDword(Group(i).languageEntry + 4, LeadsTo(i, Group(i).dataEntry)); }});
    list.push_back({"GroupNameEntryLeadsBackToItsOwnDirectory", Side::Source, nullptr,
                    [](PeImage& i) { i.PutDword(Group(i).nameEntry + 4, LeadsTo(i, Group(i).nameDirectory)); }});
    list.push_back({"GroupDataBeforeTheFileStart", Side::Source, nullptr,
                    Poke32([](const PeImage& i) { return Group(i).dataEntry; }, 0x10)});
    list.push_back({"GroupIdCount65535", Side::Source, nullptr,
                    Poke16([](const PeImage& i) { return Group(i).data + 4; }, 0xFFFF)});
    list.push_back({"BytesInRes0xFFFFFFFF", Side::Source, nullptr,
                    Poke32([](const PeImage& i) { return Group(i).data + 6 + 8; }, 0xFFFFFFFF)});
    list.push_back({"BytesInResReachingPastTheEnd", Side::Source, nullptr, [](PeImage& i) {
                        const auto pastTheEnd = static_cast<std::uint32_t>(i.bytes.size()) - Image1(i).data + 1;
                        i.PutDword(Group(i).data + 6 + 8, pastTheEnd);
                    }});
    return list;
}

INSTANTIATE_TEST_SUITE_P(Cases, IconRefusal, ::testing::ValuesIn(Refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// File failures: reported once, here, with the error icon; FALSE.
TEST_F(IconTransferTest, AMissingSourceIsReportedByItsPathAndTheDestinationIsNeverOpened)
{
    // The destination is missing too: opening it would have brought a second report.
    CIconPatcher patcher;
    EXPECT_FALSE(patcher.PatchIcons(srcPath.c_str(), dstPath.c_str()));
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{FileError(srcPath, srcPath + " was not found."), MB_ICONERROR}}));
}

TEST_F(IconTransferTest, AMissingDestinationIsReportedByItsPathEvenWhenTheSourceIsNoImage)
{
    const Bytes source{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    WriteFileBytes(srcPath, source);
    CIconPatcher patcher;
    EXPECT_FALSE(patcher.PatchIcons(srcPath.c_str(), dstPath.c_str()));
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{FileError(dstPath, dstPath + " was not found."), MB_ICONERROR}}));
    EXPECT_EQ(ReadFileBytes(srcPath), source);
    ExpectClosed(srcPath);
}

// Both files are opened unshared: a holder that allows sharing keeps them out as well as
// an exclusive one.
TEST_F(IconTransferTest, AFileHeldElsewhereIsASharingViolation)
{
    const PeImage source = BothWidths(kSourceSeed);
    const PeImage destination = BothWidths(kDestinationSeed);
    for (const UINT holderSharing : {UINT{CFile::shareExclusive}, UINT{CFile::shareDenyNone}})
        for (const std::string* held : {&srcPath, &dstPath}) {
            SCOPED_TRACE(*held + (holderSharing == CFile::shareExclusive ? " held exclusively" : " held shared"));
            WriteFileBytes(srcPath, source.bytes);
            WriteFileBytes(dstPath, destination.bytes);
            MessageCapture capture;
            {
                CFile holder(held->c_str(), CFile::modeRead | holderSharing);
                EXPECT_FALSE(CIconPatcher().PatchIcons(srcPath.c_str(), dstPath.c_str()));
            }
            const std::string description = "A sharing violation occurred while accessing " + *held + ".";
            EXPECT_EQ(capture.Messages(),
                      (std::vector<CapturedMessage>{{FileError(*held, description), MB_ICONERROR}}));
            EXPECT_EQ(ReadFileBytes(srcPath), source.bytes);
            EXPECT_EQ(ReadFileBytes(dstPath), destination.bytes);
            ExpectClosed(srcPath);
            ExpectClosed(dstPath);
        }
}

TEST_F(IconTransferTest, TheDescriptionIsCutTo255Characters)
{
    const size_t length = 250;  // within what Windows takes as a path
    ASSERT_LT(dir.Root().size() + 20, length);
    const std::string longPath = dir.Path(std::string(length - dir.Root().size() - 1, 'b'));
    ASSERT_EQ(longPath.size(), length);
    EXPECT_FALSE(CIconPatcher().PatchIcons(longPath.c_str(), dstPath.c_str()));
    const std::string description = (longPath + " was not found.").substr(0, 255);
    EXPECT_EQ(messages.Messages(), (std::vector<CapturedMessage>{{FileError(longPath, description), MB_ICONERROR}}));
}

TEST_F(IconTransferTest, ExhaustedMemoryPassesThroughWithBothFilesClosed)
{
    const PeImage source = BothWidths(kSourceSeed);
    const PeImage destination = BothWidths(kDestinationSeed);
    WriteFileBytes(srcPath, source.bytes);
    WriteFileBytes(dstPath, destination.bytes);
    FailingArrayAllocation failing(744);
    EXPECT_THROW(CIconPatcher().PatchIcons(srcPath.c_str(), dstPath.c_str()), CMemoryException);
    EXPECT_TRUE(failing.Fired());
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(ReadFileBytes(srcPath), source.bytes);
    EXPECT_EQ(ReadFileBytes(dstPath), destination.bytes);
    ExpectClosed(srcPath);
    ExpectClosed(dstPath);
}

// Steps that PatchIcons alone calls, opened up for the checks that its result cannot show.
class StepPatcher : public CIconPatcher {
public:
    using CIconPatcher::LocateResourceSection;
    using CIconPatcher::ReportFileError;
};

// A file without a section named ".rsrc" has no resource tree: its first bytes are not
// taken for one.
TEST_F(IconTransferTest, LocateResourceSectionFindsTheSectionOrFails)
{
    struct Case {
        const char* name;
        PeBuilder builder;
        bool noSections;
        BOOL result;
    };
    const Case cases[] = {
        {"third of three sections", WithIcons({Icon32()}, kSourceSeed), false, TRUE},
        {"no section named .rsrc", WithIcons({Icon32()}, kSourceSeed).ResourceSectionName(".data"), false, FALSE},
        {"no sections at all", WithIcons({Icon32()}, kSourceSeed), true, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeImage image = c.builder.Build();
        if (c.noSections)
            image.PutWord(image.ntHeaders + 6, 0);
        WriteFileBytes(srcPath, image.bytes);
        CFile file(srcPath.c_str(), CFile::modeRead);
        DWORD rsrcOffset = 0;
        DWORD rsrcAddress = 0;
        EXPECT_EQ(StepPatcher().LocateResourceSection(file, rsrcOffset, rsrcAddress), c.result);
        if (c.result) {
            EXPECT_EQ(rsrcOffset, image.rsrcOffset);
            EXPECT_EQ(rsrcAddress, image.rsrcAddress);
        }
    }
}

// A failed seek or read carries no name; no hostile file can bring one about any more,
// so the report is shown here directly.
TEST_F(IconTransferTest, AFailureWithoutNameIsReportedAsAnUnnamedFile)
{
    StepPatcher().ReportFileError("File error with ", CFileException(CFileException::badSeek));
    EXPECT_EQ(messages.Messages(),
              (std::vector<CapturedMessage>{{"File error with \nSeek failed on an unnamed file", MB_ICONERROR}}));
}

}  // namespace
