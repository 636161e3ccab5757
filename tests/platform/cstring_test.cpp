#include "platform/cstring.h"

#include <gtest/gtest.h>

namespace {

TEST(CStringTest, ReverseFindFindsTheLastOccurrenceOrMinusOne)
{
    EXPECT_EQ(CString("C:\\My.Books\\guide.old.exe").ReverseFind('.'), 21);
    EXPECT_EQ(CString("C:\\Books\\guide").ReverseFind('.'), -1);
    EXPECT_EQ(CString("").ReverseFind('.'), -1);
}

TEST(CStringTest, InsertGoesBeforeTheIndexAndClampsToTheEnds)
{
    CString s("guide.exe");
    s.Insert(5, "_new");
    EXPECT_EQ(s, "guide_new.exe");
    s.Insert(100, "!");
    EXPECT_EQ(s, "guide_new.exe!");
    s.Insert(-3, ">");
    EXPECT_EQ(s, ">guide_new.exe!");
}

TEST(CStringTest, NullTextIsEmpty)
{
    const CString s(static_cast<LPCTSTR>(nullptr));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s + "x", "x");
}

}  // namespace
