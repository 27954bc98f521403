// The frame renderer: each piece of the frame in the cache by its colour
// and state (border, caption band, client face, size grip), a frameless
// form, a cache that follows the form's size, the form's own painting in
// the cache, the states the render leaves, the image with the controls
// painted in, our stored skin Beryllo on the installer's window (a picture
// in the artefacts for a person to look at), and the handle counts.
#include <gtest/gtest.h>

#include <filesystem>

#include "FramePaintTestSupport.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

struct FramePaint : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = PieceSkinManager();
};

using FrameRenderer = FramePaint;

TEST_F(FrameRenderer, PaintsEachPieceOfTheFrameInItsColourByState) {
    PreparedForm f;  // sizeable, 400 x 300: a 4-pixel frame and a 19-pixel caption
    ASSERT_EQ(f.FrameWidth(), 4);
    ASSERT_EQ(f.Provider->GetCaptionHeight(true), 19);
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        ASSERT_TRUE(f.Render(active));
        vcl::TBitmap &c = f.Cache();
        ASSERT_EQ(c.Width(), 400);
        ASSERT_EQ(c.Height(), 300);
        const vcl::TColor border = active ? BorderActive : Border, face = active ? FaceActive : Face;
        const vcl::TColor band = active ? BandActive : Band;
        // The caption band covers the top frame and the caption, 23 rows.
        EXPECT_EQ(PixelAt(c, 200, 0), band);
        EXPECT_EQ(PixelAt(c, 200, 22), band);
        EXPECT_EQ(PixelAt(c, 200, 23), face);
        // Below it the border image's three outer pixels, then the face.
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelAt(c, x, 100), border) << x;
            EXPECT_EQ(PixelAt(c, 399 - x, 100), border) << x;
            EXPECT_EQ(PixelAt(c, 200, 299 - x), border) << x;
        }
        EXPECT_EQ(PixelAt(c, 3, 100), face);
        EXPECT_EQ(PixelAt(c, 396, 100), face);
        EXPECT_EQ(PixelAt(c, 200, 296), face);
        EXPECT_EQ(PixelAt(c, 200, 150), face);
        EXPECT_EQ(PixelAt(c, 0, 299), border);
        // Nothing of the other state.
        EXPECT_EQ(CountColour(c, active ? Border : BorderActive).Count, 0);
    }
    EXPECT_TRUE(f.Provider->FrameRendered);
    EXPECT_FALSE(f.Provider->FrameChanged);
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged);
    EXPECT_FALSE(f.Provider->SkinData()->PaintLocked);
}

TEST_F(FrameRenderer, AFramelessFormIsItsFaceAndACacheFollowsTheFormsSize) {
    PreparedForm frameless(vcl::bsNone);
    ASSERT_TRUE(frameless.Render(false));
    vcl::TBitmap &c = frameless.Cache();
    EXPECT_EQ(CountColour(c, Face).Count, c.Width() * c.Height());

    PreparedForm f;
    ASSERT_TRUE(f.Render(false));
    f.Form.Form->SetBounds(100, 100, 500, 350);
    // Not marked stale: a cache of another size is stale all the same.
    ASSERT_FALSE(f.Provider->SkinData()->BGChanged);
    ASSERT_TRUE(f.Provider->RenderFrame());
    EXPECT_EQ(f.Cache().Width(), 500);
    EXPECT_EQ(f.Cache().Height(), 350);
    EXPECT_EQ(PixelAt(f.Cache(), 250, 349), Border);
    EXPECT_EQ(PixelAt(f.Cache(), 499, 200), Border);
}

TEST_F(FrameRenderer, RendersNothingWhileBlendingOrForAFormWithoutItsSection) {
    PreparedForm f;
    ASSERT_TRUE(f.Render(false));
    f.Provider->StateFlags |= pfBlendOnMoving;
    f.Provider->FormActive = 1;
    f.Provider->SkinData()->BGChanged = true;
    EXPECT_TRUE(f.Provider->RenderFrame());
    EXPECT_TRUE(f.Provider->SkinData()->BGChanged);  // still to be done
    EXPECT_EQ(PixelAt(f.Cache(), 200, 150), Face);
    f.Provider->StateFlags &= ~pfBlendOnMoving;

    // A skin without the form's section paints nothing.
    f.Provider->SkinData()->SetSkinSection("NOSUCHSECTION");
    f.Provider->SkinData()->BGChanged = true;
    EXPECT_TRUE(f.Provider->RenderFrame());
    EXPECT_TRUE(f.Provider->SkinData()->BGChanged);
    EXPECT_EQ(PixelAt(f.Cache(), 200, 150), Face);
}

TEST_F(FrameRenderer, TheSizeGripStandsAtTheClientAreasLowerRightCorner) {
    PreparedForm f;
    f.Provider->SetGripMode(gmRightBottom);
    ASSERT_TRUE(f.Render(false));
    vcl::TBitmap &c = f.Cache();
    const int right = f.Provider->GetClientOffsetX() + ClientWidth(f.Window());
    const int bottom = f.Provider->GetClientOffsetY() + ClientHeight(f.Window());
    const ColourCount grip = CountColour(c, Grip);
    EXPECT_EQ(grip.Count, 36);
    EXPECT_EQ(grip.Bounds, (vcl::TRect{right - 6, bottom - 6, right, bottom}));

    PreparedForm dialog(vcl::bsDialog);  // no sizing frame: no grip
    dialog.Provider->SetGripMode(gmRightBottom);
    ASSERT_TRUE(dialog.Render(false));
    EXPECT_EQ(CountColour(dialog.Cache(), Grip).Count, 0);
}

struct PaintRecorder {
    int Calls = 0;
    void Paint(vcl::TObject *Sender) {
        ++Calls;
        auto *form = static_cast<vcl::TForm *>(Sender);
        form->Canvas()->Brush()->SetColor(Grip);
        form->Canvas()->FillRect({10, 10, 20, 20});
    }
};

TEST_F(FrameRenderer, TheFormsOwnPaintingLandsInTheCacheAtTheClientArea) {
    PreparedForm f;
    PaintRecorder painter;
    f.Form.Form->OnPaint = vcl::TNotifyEvent::Bind<&PaintRecorder::Paint>(&painter);
    ASSERT_TRUE(f.Render(false));
    f.Form.Form->OnPaint = {};
    EXPECT_EQ(painter.Calls, 1);
    const ColourCount painted = CountColour(f.Cache(), Grip);
    const int x = f.Provider->GetClientOffsetX(), y = f.Provider->GetClientOffsetY();
    EXPECT_EQ(painted.Bounds, (vcl::TRect{x + 10, y + 10, x + 20, y + 20}));
    EXPECT_EQ(painted.Count, 100);
}

TEST_F(FrameRenderer, TheFormImageHoldsTheControlsAndIsOpaque) {
    PreparedForm f(vcl::bsSizeable, "");
    auto *label = f.Form.Add(vcl::Create<vcl::TLabel>(f.Form.Form), 20, 20);
    label->SetCaption("WWWWWWWW");
    label->Font()->SetColor(0x00FF00);
    auto *button = f.Form.Add(vcl::Create<vcl::TButton>(f.Form.Form), 20, 100);
    button->SetCaption("OK");
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(f.Render(false));
    std::unique_ptr<vcl::TBitmap> image = f.Provider->GetFormImage();
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Width(), f.Cache().Width());
    ASSERT_EQ(image->Height(), f.Cache().Height());
    const int x = f.Provider->GetClientOffsetX(), y = f.Provider->GetClientOffsetY();
    const vcl::TRect labelArea{x + 20, y + 20, x + 140, y + 60}, buttonArea{x + 20, y + 100, x + 140, y + 140};
    EXPECT_GT(CountColour(*image, 0x00FF00, labelArea).Count, 10);
    EXPECT_EQ(CountColour(f.Cache(), 0x00FF00, labelArea).Count, 0);  // the cache keeps the skin's face
    EXPECT_LT(CountColour(*image, Face, buttonArea).Count, 120 * 40);
    // The frame is the cache's, and every pixel is opaque.
    EXPECT_EQ(PixelAt(*image, 200, 10), PixelAt(f.Cache(), 200, 10));
    bool opaque = true;
    for (int py = 0; py < image->Height(); py += 7)
        for (int px = 0; px < image->Width(); px += 7) opaque = opaque && AlphaAt(*image, px, py) == 255;
    EXPECT_TRUE(opaque);
    // No cache, no image.
    PreparedForm fresh;
    EXPECT_FALSE(fresh.Provider->GetFormImage());
}

TEST_F(FrameRenderer, HandlesStayFlatOverManyRenders) {
    PreparedForm f(vcl::bsSizeable, "Setup MERKANO ZUVO");
    f.Provider->SetGripMode(gmRightBottom);
    f.Provider->AddedTitle()->SetText("(demo)");
    // A first round makes what lives on (the cache, the strip behind the
    // buttons, the form's brush after a resize).
    ASSERT_TRUE(f.Render(true));
    f.Form.Form->SetBounds(100, 100, 420, 320);
    ASSERT_TRUE(f.Render(false));
    f.Provider->GetFormImage();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(f.Render(i % 2 == 0));
        if (i % 10 == 0) f.Form.Form->SetBounds(100, 100, 400 + i, 300 + i);
        f.Provider->GetFormImage();
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// ------------------------------------------------ our stored skin, Beryllo

struct Beryllo : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = [] {
        ManagerPtr m = NewManager();
        AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        m->SetSkinName("Beryllo (internal)");
        return m;
    }();
};

uitest::TImage32 ImageOf(vcl::TBitmap &Bitmap) {
    uitest::TImage32 picture;
    picture.Width = Bitmap.Width();
    picture.Height = Bitmap.Height();
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) picture.Pixels.push_back(GetPixel32(Bitmap, x, y) | 0xFF000000u);
    return picture;
}

TEST_F(Beryllo, TheInstallersWindowTakesTheSkinsFrame) {
    ASSERT_TRUE(Manager->SkinData->Active);
    // The installer's main form: a dialog of 774 x 341 client pixels.
    TestForm form;
    form.Form->SetBorderStyle(vcl::bsDialog);
    form.Form->SetClientWidth(774);
    form.Form->SetClientHeight(341);
    form.Form->SetCaption("Setup MERKANO ZUVO 2020  23.12.2019 Demo");
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    p->AddedTitle()->Font()->SetName("Tahoma");
    p->AddedTitle()->Font()->SetHeight(-11);
    p->AddedTitle()->Font()->SetColor(vcl::clNone);
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form), 24, 288);
    button->SetCaption("Instaluj");
    form.Show();
    p->PrepareForm();
    p->FormActive = 1;
    p->ButtonCenterY = p->GetCaptionHeight(true) / 2 + GetBorderWidth(form.Form->WindowHandle()) / 2;
    p->SkinData()->BGChanged = true;
    ASSERT_TRUE(p->RenderFrame());
    vcl::TBitmap &c = *p->SkinData()->CacheBmp();
    ASSERT_EQ(c.Width(), 780);
    ASSERT_EQ(c.Height(), 366);

    const int formIndex = Manager->FindSectionIndex("FORM");
    const vcl::TColor face = Manager->Sections[static_cast<std::size_t>(formIndex)].Props[1].Color;
    EXPECT_EQ(PixelAt(c, 390, 200), face);
    // The caption's text in the active caption colour, left in the band.
    const int captionIndex = Manager->FindSectionIndex("CAPTION");
    const vcl::TColor text = Manager->Sections[static_cast<std::size_t>(captionIndex)].Props[1].FontColor;
    const ColourCount written = CountColour(c, text, {0, 0, 780, 22});
    EXPECT_GT(written.Count, 30);
    EXPECT_LT(written.Bounds.Left, 40);
    // The outline runs round the window below the caption.
    EXPECT_NE(PixelAt(c, 0, 200), face);
    EXPECT_NE(PixelAt(c, 779, 200), face);
    EXPECT_NE(PixelAt(c, 390, 365), face);

    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-beryllo-frame.png").string(), ImageOf(c));
    std::unique_ptr<vcl::TBitmap> image = p->GetFormImage();
    ASSERT_TRUE(image);
    uitest::WritePng((folder / "forms-beryllo-window.png").string(), ImageOf(*image));
}

} // namespace
} // namespace skin
