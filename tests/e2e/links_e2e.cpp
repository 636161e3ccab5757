// The four recommended links: which address each opens, for the delivered link table and
// for copies whose table was rewritten or damaged.
#include "tests/e2e/e2e_fixture.h"
#include "ui/link_table.h"

#include <functional>
#include <string>

namespace {

const std::string kDefault = "https://tomeshift.example/";
const char* const kDelivered[] = {
    "https://tomeshift.example/bestselling",
    "https://tomeshift.example/covergraphics",
    "https://tomeshift.example/moretraffic",
    "https://tomeshift.example/marketing",
};

// What the marker writes when the shell opens address.
std::string OpenedLine(const std::string& address)
{
    for (int slot = 0; slot < kLinkCount; ++slot) {
        if (address == SlotMarker(slot))
            return address.substr(address.find_last_of('\\') + 1) + "|";
    }
    return "marker.exe|" + address;
}

HWND Link(HWND dialog, int slot) { return ::GetDlgItem(dialog, 1003 + slot); }

void Press(HWND link) { ::PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)); }
void Release(HWND link, int x = 4, int y = 4)
{
    ::PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}
void Click(HWND link)
{
    Press(link);
    Release(link);
}

// A link bound to its control answers WM_SETCURSOR itself; a plain static leaves it to
// the dialog, which does not take it.
bool SetsItsCursor(HWND link)
{
    return ::SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE;
}

Bytes Table(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    const std::vector<BYTE> table = BuildLinkTable(pairs);
    return Bytes(table.begin(), table.end());
}

class LinksE2E : public E2ETest {};

TEST_F(LinksE2E, DeliveredLinksOpenTheirAddressesOnce)
{
    CTomeshiftSession session(Exe());
    ASSERT_NE(session.WaitForDialog(), nullptr);
    Screenshot("main-dialog");
    for (int slot = 0; slot < kLinkCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_TRUE(SetsItsCursor(Link(session.m_hDialog, slot)));
        ClearOpened();
        Click(Link(session.m_hDialog, slot));
        EXPECT_TRUE(WaitOpened(OpenedLine(kDelivered[slot])));
        ::Sleep(500);
        EXPECT_EQ(Opened(), std::vector<std::string>{OpenedLine(kDelivered[slot])});
    }
    EXPECT_TRUE(session.NoMessageBox(0));
}

TEST_F(LinksE2E, ReleaseCountsOnlyAfterAPressOnTheLink)
{
    SetLinkTable(Table({{"<%BESTSELLING%>", SlotMarker(0)}, {"<%COVERGRAPHICS%>", SlotMarker(1)}}));
    CTomeshiftSession session(Exe());
    ASSERT_NE(session.WaitForDialog(), nullptr);

    // Pressed on the link, dragged off and released far from it: the link holds the
    // capture, so the release still reaches it and opens the address.
    const HWND link0 = Link(session.m_hDialog, 0);
    Press(link0);
    ::PostMessageA(link0, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 150));
    Release(link0, 300, 150);
    EXPECT_TRUE(WaitOpened(OpenedLine(SlotMarker(0))));

    // A release on a link whose press began elsewhere opens nothing.
    ClearOpened();
    Release(Link(session.m_hDialog, 1));
    ::Sleep(1500);
    EXPECT_TRUE(Opened().empty());
    Click(Link(session.m_hDialog, 1));
    EXPECT_TRUE(WaitOpened(OpenedLine(SlotMarker(1))));
}

struct LinkCase {
    const char* name;
    std::function<void(const E2ETest&)> prepare;  // changes the copy under test
    std::string message;                          // the box shown at start, if any
    std::vector<int> opens;                       // per slot: kDefault or a slot marker;
                                                  // empty: the links are plain text
};

constexpr int kDefaultAddress = -1;

// The address that a case expects of a slot: the default or the marker of a slot.
std::string Address(int expected) { return expected == kDefaultAddress ? kDefault : SlotMarker(expected); }

class LinkRecordE2E : public E2ETest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkRecordE2E, AddressesComeFromTheRewrittenRecord)
{
    const LinkCase& c = GetParam();
    c.prepare(*this);
    CTomeshiftSession session(Exe());
    if (!c.message.empty()) {
        const MessageBoxText box = session.TakeMessageBox();
        EXPECT_EQ(box.caption, "Tomeshift");
        EXPECT_EQ(box.text, c.message == "<bad format>" ? Exe() + " has a bad format." : c.message);
    }
    ASSERT_NE(session.WaitForDialog(), nullptr);
    EXPECT_TRUE(session.NoMessageBox(300));

    for (int slot = 0; slot < kLinkCount; ++slot) {
        SCOPED_TRACE(slot);
        ClearOpened();
        const HWND link = Link(session.m_hDialog, slot);
        EXPECT_EQ(SetsItsCursor(link), !c.opens.empty());
        Click(link);
        if (c.opens.empty()) {
            ::Sleep(800);
            EXPECT_TRUE(Opened().empty());
        } else {
            EXPECT_TRUE(WaitOpened(OpenedLine(Address(c.opens[static_cast<size_t>(slot)]))));
        }
    }
}

void PutTable(const E2ETest& test, const std::vector<std::pair<std::string, std::string>>& pairs)
{
    test.SetLinkTable(Table(pairs));
}

// Cuts the copy back to its image, or changes bytes of its tree or trailer.
void Rewrite(const E2ETest& test, const std::function<void(Bytes&, size_t treeOffset)>& change)
{
    Bytes bytes = test.ReadExe();
    change(bytes, test.TreeOffset());
    test.WriteExe(bytes);
}

const LinkCase kLinkCases[] = {
    {"OneTagOnly", [](const E2ETest& t) { PutTable(t, {{"<%MARKETING%>", SlotMarker(3)}}); }, "",
     {kDefaultAddress, kDefaultAddress, kDefaultAddress, 3}},
    {"UnknownTagsAndOtherCase",
     [](const E2ETest& t) { PutTable(t, {{"<%OTHER%>", SlotMarker(0)}, {"<%marketing%>", SlotMarker(3)}}); }, "",
     {kDefaultAddress, kDefaultAddress, kDefaultAddress, kDefaultAddress}},
    {"LaterPairWins",
     [](const E2ETest& t) {
         PutTable(t, {{"<%MORETRAFFIC%>", SlotMarker(0)}, {"<%COVERGRAPHICS%>", SlotMarker(1)},
                      {"<%MORETRAFFIC%>", SlotMarker(2)}});
     },
     "", {kDefaultAddress, 1, 2, kDefaultAddress}},
    {"NoRecord", [](const E2ETest& t) { t.SetLinkTable({}); }, "",
     {kDefaultAddress, kDefaultAddress, kDefaultAddress, kDefaultAddress}},
    {"NoTrailer", [](const E2ETest& t) { Rewrite(t, [](Bytes& b, size_t tree) { b.resize(tree); }); }, "",
     {kDefaultAddress, kDefaultAddress, kDefaultAddress, kDefaultAddress}},
    {"TrailerOffsetCannotBeSought",
     [](const E2ETest& t) {
         Rewrite(t, [](Bytes& b, size_t) {
             b[b.size() - 3] = 0x80;
             b[b.size() - 4] = b[b.size() - 5] = b[b.size() - 6] = 0;
         });
     },
     "Seek failed on an unnamed file", {kDefaultAddress, kDefaultAddress, kDefaultAddress, kDefaultAddress}},
    // The tree's first class tag names class index 0: the archive's bad-format error ends
    // the set-up, which is reported; the dialog opens with its links left plain.
    {"DamagedTree",
     [](const E2ETest& t) {
         Rewrite(t, [](Bytes& b, size_t tree) {
             b[tree + 4] = 0x00;
             b[tree + 5] = 0x80;
         });
     },
     "<bad format>", {}},
};

INSTANTIATE_TEST_SUITE_P(Records, LinkRecordE2E, ::testing::ValuesIn(kLinkCases),
                         [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

}  // namespace
