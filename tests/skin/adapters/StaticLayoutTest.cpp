// The arithmetic of the static-text, link, group-box and panel adapters:
// sections chosen by bevels, link tags taken out, caption bands.
#include <gtest/gtest.h>

#include "skin/adapters/vlStaticLayout.h"

namespace skin {
namespace {

TEST(StaticLayout, BevelsChooseTheSectionsOfStaticTextsAndPanels) {
    // A static text without a bevel kind is transparent whatever its cuts.
    EXPECT_EQ(StaticTextSection(0, bcRaised, bcLowered), "CHECKBOX");
    EXPECT_EQ(StaticTextSection(1, bcLowered, bcRaised), "GROUPBOX");
    EXPECT_EQ(StaticTextSection(1, bcLowered, bcNone), "PANEL_LOW");
    EXPECT_EQ(StaticTextSection(2, bcRaised, bcLowered), "GROUPBOX");
    EXPECT_EQ(StaticTextSection(3, bcRaised, bcRaised), "PANEL");
    EXPECT_EQ(StaticTextSection(1, bcSpace, bcRaised), "CHECKBOX");
    EXPECT_EQ(StaticTextSection(1, bcNone, bcNone), "CHECKBOX");

    EXPECT_EQ(PanelSection(bcRaised, bcLowered, 0), "GROUPBOX");
    EXPECT_EQ(PanelSection(bcRaised, bcRaised, 0), "PANEL");
    EXPECT_EQ(PanelSection(bcLowered, bcRaised, 1), "GROUPBOX");
    EXPECT_EQ(PanelSection(bcLowered, bcSpace, 0), "PANEL_LOW");
    EXPECT_EQ(PanelSection(bcNone, bcNone, 0), "CHECKBOX");
    EXPECT_EQ(PanelSection(bcSpace, bcRaised, 0), "CHECKBOX");
    EXPECT_EQ(PanelSection(bcNone, bcNone, 1), "PANEL_LOW");
}

TEST(StaticLayout, LinkTagsGoInAnyCaseAndWithAttributes) {
    EXPECT_EQ(StripLinkTags("Open <A>the site</A> now"), "Open the site now");
    EXPECT_EQ(StripLinkTags("<a href=\"https://x.example/?a=1&b=2\">here</a>"), "here");
    EXPECT_EQ(StripLinkTags("<a id=\"one\">1</a> and <A\tHREF=\"two\">2</A >"), "1 and 2");
    EXPECT_EQ(StripLinkTags("no tags at all"), "no tags at all");
    EXPECT_EQ(StripLinkTags(""), "");
}

TEST(StaticLayout, WhatOnlyLooksLikeATagStays) {
    EXPECT_EQ(StripLinkTags("<abbr>x</abbr>"), "<abbr>x</abbr>");
    EXPECT_EQ(StripLinkTags("a < b and <b>bold</b>"), "a < b and <b>bold</b>");
    // A tag never closed is text: nothing after it is lost.
    EXPECT_EQ(StripLinkTags("x <a href=\"never closed"), "x <a href=\"never closed");
    EXPECT_EQ(StripLinkTags("<"), "<");
    EXPECT_EQ(StripLinkTags("</"), "</");
    EXPECT_EQ(StripLinkTags("<a"), "<a");
    // Multi-byte text around tags is kept byte for byte.
    EXPECT_EQ(StripLinkTags("\xC5\xBE<a>\xC4\x8D</a>"), "\xC5\xBE\xC4\x8D");
}

TEST(StaticLayout, GroupBoxCaptionBand) {
    // 6 px in, 8 px wider than the text, one pixel taller than the text plus 2.
    EXPECT_EQ(GroupBoxCaptionRect(200, 40, 13, false), (vcl::TRect{6, 0, 54, 15}));
    // An empty caption keeps a band of 6 px.
    EXPECT_EQ(GroupBoxCaptionRect(200, 0, 0, false), (vcl::TRect{6, 0, 14, 6}));
    EXPECT_EQ(GroupBoxCaptionRect(200, 0, 0, false).Height(), 6);
    // A caption wider than the box ends one pixel inside its right edge...
    EXPECT_EQ(GroupBoxCaptionRect(100, 120, 13, false).Right, 99);
    // ...but one that ends exactly at the edge is not cut.
    EXPECT_EQ(GroupBoxCaptionRect(100, 86, 13, false).Right, 100);
    // Right to left: its width plus 14 px from the right edge.
    EXPECT_EQ(GroupBoxCaptionRect(200, 40, 13, true), (vcl::TRect{146, 0, 194, 15}));
}

TEST(StaticLayout, PanelCaptionIsCentredInsideBevelsAndBorder) {
    const vcl::TRect client{0, 0, 200, 60};
    // Outer and inner bevels of 2 and a border of 3: 7 px in on every side.
    EXPECT_EQ(PanelCaptionRect(client, 2, bcRaised, bcLowered, 3, 14), (vcl::TRect{7, 23, 193, 37}));
    // No inner bevel: 5 px in.
    EXPECT_EQ(PanelCaptionRect(client, 2, bcRaised, bcNone, 3, 14), (vcl::TRect{5, 23, 195, 37}));
    // Offset clients stay offset.
    EXPECT_EQ(PanelCaptionRect({2, 2, 102, 42}, 1, bcNone, bcNone, 0, 10), (vcl::TRect{2, 17, 102, 27}));
}

} // namespace
} // namespace skin
