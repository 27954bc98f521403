// The portable layout of a skinned tool-bar button: captions broken into
// two lines at spaces, the image's place, the caption's rectangle.
#include <gtest/gtest.h>

#include "skin/adapters/vlToolBarLayout.h"

namespace skin {
namespace {

// Every character 6 pixels wide.
int Width6(const std::string &T) { return static_cast<int>(T.size()) * 6; }

TEST(ToolBarLayout, CaptionBreaksAfterTheLongestLeadingRunOfWordsThatFits) {
    EXPECT_EQ(SplitToolCaption("Open", 60, Width6), (std::pair<std::string, std::string>{"Open", ""}));
    EXPECT_EQ(SplitToolCaption("Open the file", 60, Width6), (std::pair<std::string, std::string>{"Open the", "file"}));
    EXPECT_EQ(SplitToolCaption("Open the file now", 50, Width6),
              (std::pair<std::string, std::string>{"Open the", "file now"}));
    // Not even the first word fits: it stands alone on the first line.
    EXPECT_EQ(SplitToolCaption("Configuration of it", 30, Width6),
              (std::pair<std::string, std::string>{"Configuration", "of it"}));
    EXPECT_EQ(SplitToolCaption("Configuration", 30, Width6), (std::pair<std::string, std::string>{"Configuration", ""}));
    EXPECT_EQ(SplitToolCaption("a  b", 6, Width6), (std::pair<std::string, std::string>{"a", "b"}));
}

TEST(ToolBarLayout, ImagePlaceAndCaptionRect) {
    EXPECT_EQ(ToolImagePos({40, 40}, {16, 16}, false, false, 0, 0), (vcl::TPoint{12, 12}));
    EXPECT_EQ(ToolImagePos({40, 40}, {16, 16}, true, false, 0, 1), (vcl::TPoint{13, 5}));
    EXPECT_EQ(ToolImagePos({40, 40}, {16, 16}, true, true, 8, 0), (vcl::TPoint{8, 4}));
    EXPECT_EQ(ToolCaptionRect({40, 40}, 16, 0), (vcl::TRect{2, 20, 38, 38}));
    EXPECT_EQ(ToolCaptionRect({40, 40}, 0, 1), (vcl::TRect{3, 3, 39, 39}));
}

} // namespace
} // namespace skin
