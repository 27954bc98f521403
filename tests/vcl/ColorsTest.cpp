#include "vcl/Colors.h"

#include <gtest/gtest.h>

using namespace vcl;

TEST(ColorNames, IdentifiersAndValuesMapBothWays) {
    EXPECT_EQ(IdentToColor("clBtnFace"), clBtnFace);
    EXPECT_EQ(IdentToColor("clWindowText"), clWindowText);
    EXPECT_EQ(IdentToColor("clNone"), clNone);
    EXPECT_EQ(IdentToColor("clBlack"), clBlack);
    EXPECT_EQ(ColorToIdent(clHighlightText), "clHighlightText");
    EXPECT_EQ(ColorToIdent(clInfoBk), "clInfoBk");
    for (TColor c : {clBlack, clWhite, clNone, clDefault, clScrollBar, clBtnFace, clInfoBk})
        EXPECT_EQ(IdentToColor(*ColorToIdent(c)), c);
}

TEST(ColorNames, UnknownIdentifierOrColourHasNoName) {
    EXPECT_FALSE(IdentToColor("clbtnface"));  // identifiers are spelled exactly
    EXPECT_FALSE(IdentToColor("clNope"));
    EXPECT_FALSE(ColorToIdent(0x123456));
}
