#pragma once
// The names with which controls find their skin images (all upper case),
// indexed as the controls count their parts. Data only; portable.
#include <array>
#include <string_view>

namespace skin {

using std::string_view_literals::operator""sv;

// First, last, middle and single tab, each for the sides left, top, right, bottom.
inline constexpr std::array TabElementNames{
    "TABLEFTFIRST"sv,  "TABTOPFIRST"sv,  "TABRIGHTFIRST"sv,  "TABBOTTOMFIRST"sv,
    "TABLEFTLAST"sv,   "TABTOPLAST"sv,   "TABRIGHTLAST"sv,   "TABBOTTOMLAST"sv,
    "TABLEFTMIDDLE"sv, "TABTOPMIDDLE"sv, "TABRIGHTMIDDLE"sv, "TABBOTTOMMIDDLE"sv,
    "TABLEFT"sv,       "TABTOP"sv,       "TABRIGHT"sv,       "TABBOTTOM"sv};
// Left, top, right, bottom.
inline constexpr std::array ScrollBtnNames{"SCROLLBTNLEFT"sv, "SCROLLBTNTOP"sv, "SCROLLBTNRIGHT"sv,
                                           "SCROLLBTNBOTTOM"sv};
inline constexpr std::array ScrollBarNames{"SCROLLBAR1H"sv, "SCROLLBAR1V"sv, "SCROLLBAR2H"sv, "SCROLLBAR2V"sv};
// Left, top, right, bottom; the right one is spelt without the underscore.
inline constexpr std::array UpDownBtnNames{"UPDOWNBTN_LEFT"sv, "UPDOWNBTN_TOP"sv, "UPDOWNBTNRIGHT"sv,
                                           "UPDOWNBTN_BOTTOM"sv};
inline constexpr std::array ScrollSliderNames{"SCROLLSLIDERH"sv, "SCROLLSLIDERV"sv};
inline constexpr std::array RadioNames{"RADIOUNCHECKED"sv, "RADIOCHECKED"sv};
// Unchecked, checked, grayed.
inline constexpr std::array CheckBoxNames{"BOXUNCHECKED"sv, "BOXCHECKED"sv, "BOXGRAYED"sv};
inline constexpr std::array SmallCheckNames{"SMALLUNCHECKED"sv, "SMALLCHECKED"sv, "SMALLGRAYED"sv};

static_assert(TabElementNames.size() == 16 && ScrollBtnNames.size() == 4 && ScrollBarNames.size() == 4 &&
              UpDownBtnNames.size() == 4 && ScrollSliderNames.size() == 2 && RadioNames.size() == 2 &&
              CheckBoxNames.size() == 3 && SmallCheckNames.size() == 3);

} // namespace skin
