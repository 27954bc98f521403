#include "vcl/Colors.h"
#include "vcl/System.h"

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

TEST(ColorText, StringToColorReadsIdentifiersHexAndDecimal) {
    EXPECT_EQ(StringToColor("clWindow"), clWindow);
    EXPECT_EQ(StringToColor("$80000005"), clWindow);
    EXPECT_EQ(StringToColor("$00FF00FF"), 0xFF00FF);
    EXPECT_EQ(StringToColor("$1FFFFFFF"), clNone);
    EXPECT_EQ(StringToColor("16711935"), 0xFF00FF);
    EXPECT_EQ(StringToColor("+255"), 255);
    EXPECT_EQ(StringToColor("-2147483633"), clBtnFace);
}

TEST(ColorText, StringToColorRejectsWhatIsNoColour) {
    for (const char *text : {"", "$", "$12G", "12 ", "clNope", "+-5", "--5", "$100000000", "99999999999"})
        EXPECT_THROW(StringToColor(text), EConvertError) << text;
}

TEST(ColorText, ColorToStringPrefersTheIdentifier) {
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0x8000001F)), "$8000001F");
    EXPECT_EQ(StringToColor(ColorToString(0x00ABCDEF)), 0x00ABCDEF);
}
