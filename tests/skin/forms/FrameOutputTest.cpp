// Output from the cache: the frame's four strips into a window DC and
// nothing of the client area (a stale cache rendered first), the frame read
// back from the window's own DC, and the client background with the form's
// graphic controls and the size grip.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "vcl/Panels.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using FrameOutput = FramePaint;

constexpr vcl::TColor Untouched = 0x123456;

TEST_F(FrameOutput, TheFrameComesFromTheCacheAndTheClientAreaIsLeftAlone) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(false));
    f.Provider->FormActive = 1;
    f.Provider->SkinData()->BGChanged = true;  // rendered again before the copy
    auto dc = Canvas32(400, 300, Untouched);
    f.Provider->PaintCachedFrame(dc->Canvas()->Handle());
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged);
    EXPECT_EQ(PixelAt(*dc, 200, 2), BandActive);
    const int left = f.Provider->GetClientOffsetX(), top = f.Provider->GetClientOffsetY();
    const int right = left + ClientWidth(f.Window()), bottom = top + ClientHeight(f.Window());
    int wrong = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool client = x >= left && x < right && y >= top && y < bottom;
            wrong += PixelAt(*dc, x, y) != (client ? Untouched : PixelAt(f.Cache(), x, y));
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(FrameOutput, TheFrameInTheWindowsOwnDCReadsBackAsTheCache) {
    PreparedForm f(vcl::bsDialog, "Setup MERKANO ZUVO");
    ASSERT_TRUE(f.Render(true));
    const vcl::TWindowDC window(f.Window(), GetWindowDC(f.Window()));
    f.Provider->PaintCachedFrame(window.Get());
    GdiFlush();
    const int w = f.Cache().Width(), h = f.Cache().Height();
    // The skin's rounded corners lie outside the window's region: nothing is
    // drawn there.
    const vcl::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    const bool shaped = GetWindowRgn(f.Window(), shape.Get()) != ERROR;
    const auto Shown = [&](int X, int Y) { return !shaped || PtInRegion(shape.Get(), X, Y); };
    int differ = 0;
    for (int y = 0; y < h; y += 3)
        for (const int x : {0, 2, 10, w / 2, w - 3, w - 1})
            if (y < 22 || y >= h - 3 || x < 3 || x >= w - 3)
                differ += Shown(x, y) &&
                          (GetPixel(window.Get(), x, y) & 0xFFFFFF) != static_cast<COLORREF>(PixelAt(f.Cache(), x, y));
    EXPECT_EQ(differ, 0);
    EXPECT_GT(CountColour(f.Cache(), TextActive, {0, 0, w, 22}).Count, 20);
}

TEST_F(FrameOutput, TheClientBackgroundIsTheCachesWithTheGraphicControlsAndTheGrip) {
    PreparedForm f(vcl::bsSizeable, "");
    auto *label = f.Form.Add(vcl::Create<vcl::TLabel>(f.Form.Form), 30, 30);
    label->SetCaption("WWWWWWWW");
    label->Font()->SetColor(0x00FF00);
    ASSERT_TRUE(f.Render(false));  // without the grip in the cache
    f.Provider->SetGripMode(gmRightBottom);
    const int w = ClientWidth(f.Window()), h = ClientHeight(f.Window());
    const vcl::TRect labelArea{30, 30, 150, 70};
    auto background = Canvas32(w, h, Untouched);
    f.Provider->PaintClientBackground(background->Canvas()->Handle(), false);
    EXPECT_EQ(PixelAt(*background, 10, 10), Face);
    EXPECT_EQ(PixelAt(*background, w - 1, h - 1), Face);
    const int letters = CountColour(*background, 0x00FF00, labelArea).Count;
    EXPECT_GT(letters, 10);
    // The form's background: the same, and the grip at its place.
    auto form = Canvas32(w, h, Untouched);
    f.Provider->PaintFormBackground(form->Canvas()->Handle());
    EXPECT_EQ(CountColour(*form, Grip).Bounds, (vcl::TRect{w - 6, h - 6, w, h}));
    EXPECT_EQ(CountColour(*form, 0x00FF00, labelArea).Count, letters);
    EXPECT_EQ(PixelAt(*form, 10, 10), Face);
}

// An MDI parent's client area belongs to its client window, which paints
// it: the parent paints no background there, whether its section looks
// through to what is behind (filled with its colour on other forms) or not.
TEST_F(FrameOutput, AnMDIParentLeavesItsClientAreaToItsClientWindow) {
    std::string through = PieceOptions();
    const std::string opaqueMask = "0003,0003,2,1,0,0";
    through.replace(through.find(opaqueMask), opaqueMask.size(), "0003,0003,2,0,0,0");
    TestSkin skin;
    skin.Options = through;
    skin.Files = {{"MASTER.BMP", PieceMaster()}};
    AddStoredSkin(*Manager, "Through", skin.Packed());
    struct Case {
        bool LooksThrough, MDIParent;
        int Painted;  // pixels of the client background that changed
    };
    for (const Case c : {Case{false, true, 0}, Case{true, true, 0}, Case{true, false, 200 * 150}}) {
        SCOPED_TRACE(testing::Message() << c.LooksThrough << c.MDIParent);
        Manager->SetSkinName(c.LooksThrough ? "Through" : "Pieces");
        TestForm form;
        if (c.MDIParent) form.Form->SetFormStyle(vcl::fsMDIForm);
        auto *provider = vcl::Create<TsSkinProvider>(form.Form);
        form.Show();
        provider->PrepareForm();
        provider->SkinData()->BGChanged = true;
        ASSERT_TRUE(provider->RenderFrame());
        ASSERT_EQ((provider->SkinData()->BGFlags() & bgfParentBackground) != 0, c.LooksThrough);
        auto dc = Canvas32(200, 150, Untouched);
        provider->PaintClientBackground(dc->Canvas()->Handle(), false);
        EXPECT_EQ(200 * 150 - CountColour(*dc, Untouched).Count, c.Painted);
    }
}

TEST(FindControlByDlgID, SearchesDepthFirstAmongWindowsAndNeverMakesOne) {
    TestForm form;
    const auto put = [&](auto *Control, vcl::TWinControl *Parent) {
        Control->SetBounds(4, 4, 120, 80);
        Control->SetParent(Parent);
        return Control;
    };
    auto *outer = put(vcl::Create<vcl::TPanel>(form.Form), form.Form);
    auto *inner = put(vcl::Create<vcl::TPanel>(form.Form), outer);
    auto *deep = put(vcl::Create<vcl::TButton>(form.Form), inner);
    auto *hidden = put(vcl::Create<vcl::TPanel>(form.Form), outer);
    hidden->SetVisible(false);
    auto *unmade = put(vcl::Create<vcl::TButton>(form.Form), hidden);
    auto *top = put(vcl::Create<vcl::TButton>(form.Form), form.Form);
    form.Show();
    ASSERT_FALSE(hidden->HandleAllocated());
    for (vcl::TWinControl *c : std::initializer_list<vcl::TWinControl *>{outer, inner, deep, top})
        SetWindowLongPtrW(c->Handle(), GWLP_ID, 600);
    SetWindowLongPtrW(deep->Handle(), GWLP_ID, 700);
    SetWindowLongPtrW(top->Handle(), GWLP_ID, 700);  // found later than the nested one

    EXPECT_EQ(FindControlByDlgID(700, form.Form), deep);
    EXPECT_EQ(FindControlByDlgID(700, outer), deep);
    EXPECT_EQ(FindControlByDlgID(600, form.Form), outer);
    EXPECT_EQ(FindControlByDlgID(600, outer), inner);
    EXPECT_EQ(FindControlByDlgID(800, form.Form), nullptr);
    EXPECT_EQ(FindControlByDlgID(700, deep), nullptr);  // only below Parent
    EXPECT_FALSE(hidden->HandleAllocated() || unmade->HandleAllocated());
}

} // namespace
} // namespace skin
