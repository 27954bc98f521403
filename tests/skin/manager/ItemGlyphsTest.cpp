// Item glyphs: an image-list image in the looks of its item's states, glyph
// strips in their frames, and a tool-bar button's glyph from the bar's list
// for its state.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/vlItemGlyphs.h"
#include "vcl/Bitmap.h"
#include "vcl/ImgList.h"

namespace skin {
namespace {

using namespace skin::test;
using TList = std::unique_ptr<vcl::TCustomImageList>;

constexpr std::uint32_t Back = 0xFF404040;  // the target's pixels

// An 8 x 8 list of one image: a square of Inner at (2, 2) .. (5, 5) in a
// transparent (fuchsia) border.
TList SquareList(vcl::TColor Inner) {
    TList list(vcl::Create<vcl::TCustomImageList>(nullptr));
    list->SetSize(8, 8);
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf24bit);
    image.SetSize(8, 8);
    image.Canvas()->Brush()->SetColor(Fuchsia);
    image.Canvas()->FillRect({0, 0, 8, 8});
    image.Canvas()->Brush()->SetColor(Inner);
    image.Canvas()->FillRect({2, 2, 6, 6});
    list->AddMasked(&image, Fuchsia);
    return list;
}

std::unique_ptr<vcl::TBitmap> Target() {
    auto b = NewBitmap32(32, 32);
    const vcl::TBitmapView v = b->View();
    for (int y = 0; y < v.Height; ++y) std::fill_n(v.Row32(y), v.Width, Back);
    return b;
}

class ItemGlyphs : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    ManagerPtr Manager = SectionsManager();  // the default manager
    TList Red = SquareList(0x0000FF);
};

TvlGlyphPaintData ListGlyph(vcl::TCustomImageList &List, vcl::TBitmap *Target) {
    TvlGlyphPaintData d;
    d.Images = &List, d.ImageIndex = 0, d.Bitmap = Target, d.ImgRect = vcl::Bounds(4, 4, 8, 8);
    return d;
}

TEST_F(ItemGlyphs, ImageListImageTakesTheLookOfItsState) {
    struct Case {
        std::int32_t State, Blend;
        bool Enabled, Grayed;
        std::uint32_t Options, Inner;
    };
    // Blends: d = round(s - (s - d) * ratio); gray: (r + g + b) / 3.
    for (const Case &c : {Case{0, 0, true, false, 0, 0xFFFF0000}, Case{1, 40, true, true, 0, 0xFFFF0000},
                          Case{0, 40, true, false, 0, 0xFFB31A1A}, Case{0, 0, true, true, 0, 0xFF555555},
                          Case{0, 0, false, false, 0, 0xFFFF0000},
                          Case{0, 0, false, false, goBlendDisabled, 0xFFA02020},
                          Case{1, 0, false, true, 0, 0xFF555555}}) {
        auto target = Target();
        TvlGlyphPaintData d = ListGlyph(*Red, target.get());
        d.State = c.State, d.BlendValue = c.Blend, d.Enabled = c.Enabled, d.Grayed = c.Grayed, d.Options = c.Options;
        PaintItemGlyph(d);
        EXPECT_EQ(target->View().At(7, 7), c.Inner) << c.State << c.Blend << c.Enabled << c.Grayed << c.Options;
        EXPECT_EQ(target->View().At(4, 4), Back);  // the list's transparent border
    }
    // Beyond the list: nothing. On a canvas a disabled image looks otherwise.
    auto target = Target();
    TvlGlyphPaintData beyond = ListGlyph(*Red, target.get());
    beyond.ImageIndex = 1;
    PaintItemGlyph(beyond);
    EXPECT_EQ(target->View().At(7, 7), Back);
    for (bool enabled : {true, false}) {
        auto onCanvas = Target();
        TvlGlyphPaintData d = ListGlyph(*Red, nullptr);
        d.Canvas = onCanvas->Canvas(), d.Enabled = enabled;
        PaintItemGlyph(d);
        const std::uint32_t p = onCanvas->View().At(7, 7) & 0xFFFFFF;
        EXPECT_NE(p, Back & 0xFFFFFF);
        EXPECT_EQ(p == 0xFF0000, enabled);
    }
}

TEST_F(ItemGlyphs, FrameOfAListLiesOnItsBackgroundColourOrFuchsia) {
    std::uint32_t key = 0;
    EXPECT_EQ(CopyImageListFrame(*Red, 0, key)->View().At(0, 0), 0x00FF00FFu);
    ImageList_SetBkColor(Red->Handle(), RGB(0, 0, 255));
    const auto frame = CopyImageListFrame(*Red, 0, key);
    EXPECT_EQ(key, 0x000000FFu);
    EXPECT_EQ(frame->View().At(0, 0), key);
    EXPECT_EQ(frame->View().At(3, 3) & 0xFFFFFF, 0xFF0000u);
}

// A strip of three 4 x 4 frames: blue, green, red, each with a white
// bottom-left pixel (the key of strips without alpha); Alpha for all.
std::unique_ptr<vcl::TBitmap> Strip(std::uint32_t Alpha) {
    auto b = NewBitmap32(12, 4);
    const std::uint32_t colours[] = {0x0000C0, 0x00C000, 0xC00000};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x)
            b->View().At(x, y) = Alpha << 24 | (x % 4 == 0 && y == 3 ? 0xFFFFFF : colours[x / 4]);
    return b;
}

// The frame a strip glyph drawn in a state shows: 0 blue, 1 green, 2 red, -1 none.
int DrawnFrame(vcl::TBitmap &Glyph, std::int32_t State, bool Enabled) {
    auto target = Target();
    TvlGlyphPaintData d;
    d.Glyph = &Glyph, d.NumGlyphs = 3, d.State = State, d.Enabled = Enabled;
    d.Bitmap = target.get(), d.ImgRect = vcl::Bounds(2, 2, 4, 4);
    PaintItemGlyph(d);
    const std::uint32_t p = target->View().At(4, 3);
    for (int frame = 0; frame < 3; ++frame)
        if ((p >> (8 * frame) & 0xFF) > 0x80) return frame;
    return -1;
}

struct ChangeCount {
    int Count = 0;
    void Changed(vcl::TObject *) { ++Count; }
};

TEST_F(ItemGlyphs, StripsShowTheFrameOfTheStateInTheOrderAsked) {
    auto strip = Strip(255);
    EXPECT_EQ(DrawnFrame(*strip, 1, true), 1);
    Manager->Options()->SetFlag(ofStdGlyphsOrder, true);
    EXPECT_EQ(DrawnFrame(*strip, 0, false), 1);  // normal and disabled: the disabled frame
    EXPECT_EQ(DrawnFrame(*strip, 1, true), 0);   // hot: the normal frame
    EXPECT_EQ(DrawnFrame(*strip, 2, true), 2);   // pressed, with a clicked frame
    Manager->Options()->SetFlag(ofStdGlyphsOrder, false);

    // Without any alpha: drawn by it (nothing) when enabled and unchecked,
    // drawn opaque when disabled, quietly.
    auto empty = Strip(0);
    ChangeCount changes;
    empty->OnChange = vcl::TNotifyEvent::Bind<&ChangeCount::Changed>(&changes);
    EXPECT_EQ(DrawnFrame(*empty, 1, true), -1);
    EXPECT_EQ(DrawnFrame(*empty, 0, false), 0);
    EXPECT_EQ(empty->PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(changes.Count, 0);
}

// A tool bar of lists red (normal), green (hot) and blue (disabled), on a
// skinned window that answers its skin data.
struct Bar : TvlToolBarView {
    TList Normal = SquareList(0x0000FF), Hot = SquareList(0x00FF00), Disabled = SquareList(0xFF0000);
    TSkinned<vcl::TCustomControl> *Window;
    bool List = false;
    std::unique_ptr<vcl::TBitmap> Surface = NewBitmap32(1, 1);
    explicit Bar(TestForm &Form) : Window(Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))) {}
    HWND ToolBarWindow() const override { return Window->vcl::TWinControl::Handle(); }
    bool ToolBarEnabled() const override { return true; }
    bool HasParentControl() const override { return true; }
    vcl::TCustomImageList *Images() const override { return Normal.get(); }
    vcl::TCustomImageList *DisabledImages() const override { return Disabled.get(); }
    vcl::TCustomImageList *HotImages() const override { return Hot.get(); }
    bool ListStyle() const override { return List; }
    bool ShowCaptions() const override { return false; }
    vcl::TCanvas &Canvas() const override { return *Surface->Canvas(); }
};

TEST_F(ItemGlyphs, ToolButtonGlyphComesFromTheListOfItsStateAtItsPlace) {
    TestForm form;
    Bar bar(form);
    bar.Window->Skin("BUTTON");
    form.Show();
    EXPECT_EQ(ToolButtonGlyphRect(bar, {0, 23, 22, false}), vcl::Rect(8, 7, 16, 15));
    EXPECT_EQ(ToolButtonGlyphRect(bar, {0, 23, 5, true}), vcl::Rect(0, -1, 8, 7));  // toward zero
    bar.List = true;
    EXPECT_EQ(ToolButtonGlyphRect(bar, {0, 23, 21, false}), vcl::Rect(5, 6, 13, 14));
    bar.List = false;

    const auto drawn = [&](std::uint32_t DrawState, int X) {
        auto target = Target();
        PaintToolButtonGlyph(bar, {0, 23, 22, false}, DrawState, target.get());
        return target->View().At(X, X - 1);
    };
    EXPECT_EQ(drawn(0, 10), 0xFFFF0000u);
    EXPECT_EQ(drawn(cdsHot, 10), 0xFF00FF00u);
    EXPECT_EQ(drawn(cdsDisabled, 10), 0xFF0000FFu);
    EXPECT_EQ(drawn(cdsChecked, 10), Back);  // pressed: moved by (1, 1)
    EXPECT_EQ(drawn(cdsChecked, 11), 0xFFFF0000u);
    Manager->ButtonsOptions()->ShiftContentOnClick = false;
    EXPECT_EQ(drawn(cdsSelected, 10), 0xFFFF0000u);
    Manager->Effects()->SetDiscoloredGlyphs(true);
    EXPECT_EQ(drawn(0, 10), 0xFF555555u);
    EXPECT_EQ(drawn(cdsHot, 10), 0xFF00FF00u);
}

} // namespace
} // namespace skin
