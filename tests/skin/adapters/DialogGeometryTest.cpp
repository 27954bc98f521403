// The caption arithmetic of skinned system dialogs: frame kinds by style,
// the title buttons shown, what each position answers, placement and the
// button band.
#include <gtest/gtest.h>

#include "skin/adapters/vlDialogGeometry.h"

namespace skin {
namespace {

constexpr std::uint32_t Caption = dgCaption, Popup = dgPopup;

TEST(DialogGeometry, FrameKindFollowsTheStyle) {
    struct Case {
        std::uint32_t Style;
        int Kind;
    } cases[] = {
        {Popup | Caption | dgModalFrame, 0},               // message boxes, the common dialogs
        {Popup | Caption | dgModalFrame | dgThickFrame, 3},  // sizing wins over the modal frame
        {Popup | Caption | dgThickFrame, 3},
        {Popup | 0x00800000, 2},                           // a popup with a border only
        {Popup | dgModalFrame, 2},                         // no caption: kind 2 before the modal frame
        {Popup, 2},
        {Caption, 3},                                      // an overlapped window
        {Caption | dgModalFrame, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(DialogFrameKind(c.Style), c.Kind) << std::hex << c.Style;
}

TEST(DialogGeometry, ShownButtonsAndTheCodesOfTheirPlaces) {
    const auto rules = [](std::uint32_t Style, std::uint32_t Ex = 0, bool Min = false, bool Max = false,
                          bool MayClose = true, int Kind = 3) {
        return DialogButtonRules(Style, Ex, Min, Max, MayClose, Kind);
    };
    // No system menu: no buttons, every place is caption.
    TvlDialogButtonRules r = rules(Caption | dgMaxBox | dgMinBox);
    EXPECT_TRUE(ShownDialogButtons(r).empty());
    EXPECT_EQ(DialogButtonHitCode(1, r), dhCaption);

    r = rules(Caption | dgSysMenu);
    EXPECT_EQ(ShownDialogButtons(r), (std::vector<int>{dhClose}));
    EXPECT_EQ(DialogButtonHitCode(1, r), dhClose);
    EXPECT_EQ(DialogButtonHitCode(0, r), dhCaption);
    EXPECT_EQ(DialogButtonHitCode(2, r), dhCaption);
    r = rules(Caption | dgSysMenu, 0, false, false, false);  // CS_NOCLOSE
    EXPECT_EQ(DialogButtonHitCode(1, r), 0);

    r = rules(Caption | dgSysMenu | dgMaxBox | dgMinBox, dgContextHelp);
    EXPECT_EQ(ShownDialogButtons(r), (std::vector<int>{dhClose, dhMaxButton, dhMinButton, dhHelp}));
    EXPECT_EQ(DialogButtonHitCode(2, r), dhMaxButton);
    EXPECT_EQ(DialogButtonHitCode(3, r), dhMinButton);
    EXPECT_EQ(DialogButtonHitCode(4, r), dhHelp);
    EXPECT_EQ(DialogButtonHitCode(5, r), dhCaption);

    // Maximized: the maximize place restores; kind 0 cannot maximize at all.
    r = rules(Caption | dgSysMenu | dgMaxBox, 0, false, true);
    EXPECT_EQ(DialogButtonHitCode(2, r), dhMaxButton);
    r = rules(Caption | dgSysMenu | dgMaxBox, 0, false, false, true, 0);
    EXPECT_FALSE(r.CanMaximize());
    EXPECT_EQ(DialogButtonHitCode(2, r), dhCaption);

    // Minimized without a minimize box still shows the minimize place (it restores).
    r = rules(Caption | dgSysMenu, 0, true);
    EXPECT_EQ(ShownDialogButtons(r), (std::vector<int>{dhClose, dhMinButton}));
    EXPECT_EQ(DialogButtonHitCode(2, r), dhCaption);  // cannot minimize again
    r = rules(Caption | dgSysMenu | dgMaxBox | dgMinBox, 0, true);
    EXPECT_EQ(DialogButtonHitCode(3, r), dhMinButton);

    // Help alone is the second place; a minimize box without a maximize box
    // is followed by help in the third.
    r = rules(Caption | dgSysMenu, dgContextHelp);
    EXPECT_EQ(DialogButtonHitCode(2, r), dhHelp);
    r = rules(Caption | dgSysMenu | dgMinBox, dgContextHelp);
    EXPECT_EQ(ShownDialogButtons(r), (std::vector<int>{dhClose, dhMinButton, dhHelp}));
    EXPECT_EQ(DialogButtonHitCode(2, r), dhMinButton);
    EXPECT_EQ(DialogButtonHitCode(3, r), dhHelp);
}

TEST(DialogGeometry, ButtonsArePlacedRightToLeftAndTheBandCentresTheClose) {
    const auto rects = PlaceDialogButtons({{15, 15}, {21, 21}, {10, 12}}, 200, 4, 2);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0], (vcl::TRect{185, 4, 200, 19}));
    EXPECT_EQ(rects[1], (vcl::TRect{162, 4, 183, 25}));
    EXPECT_EQ(rects[2], (vcl::TRect{150, 4, 160, 16}));
    EXPECT_TRUE(PlaceDialogButtons({}, 200, 4, 2).empty());
    EXPECT_EQ(DialogButtonBandTop(19, 15, 3), 3);
    EXPECT_EQ(DialogButtonBandTop(18, 15, 3), 3);  // toward zero
    EXPECT_EQ(DialogButtonBandTop(10, 21, 3), -4);
}

} // namespace
} // namespace skin
