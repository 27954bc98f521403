#include "vcl/Colors.h"

#include <gtest/gtest.h>

using namespace vcl;

TEST(ColorNames, IdentifiersAndValuesMapBothWaysSpelledExactly) {
    for (TColor c : {clBlack, clWhite, clNone, clDefault, clScrollBar, clBtnFace, clInfoBk, clHighlightText})
        EXPECT_EQ(IdentToColor(*ColorToIdent(c)), c);
    EXPECT_EQ(ColorToIdent(clHighlightText), "clHighlightText");
    EXPECT_EQ(IdentToColor("clWindowText"), clWindowText);
    EXPECT_FALSE(IdentToColor("clbtnface"));
    EXPECT_FALSE(IdentToColor("clNope"));
    EXPECT_FALSE(ColorToIdent(0x123456));
}
