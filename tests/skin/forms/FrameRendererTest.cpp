// The frame renderer: each piece of the frame in the cache by its colour
// and state, a frameless form, a cache that follows the form's size, the
// size grip, the form's own painting, the image with the controls painted
// in, our stored skin Beryllo on the installer's window (pictures in the
// artefacts), and the handle counts over many renders.
#include <gtest/gtest.h>

#include <filesystem>

#include "FramePaintTestSupport.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using FrameRenderer = FramePaint;

TEST_F(FrameRenderer, PaintsEachPieceOfTheFrameInItsColourByState) {
    PreparedForm f;  // a 4-pixel sizing frame and a 19-pixel caption
    ASSERT_EQ(f.FrameWidth() + f.Provider->GetCaptionHeight(true), 23);
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active);
        ASSERT_TRUE(f.Render(active));
        vcl::TBitmap &c = f.Cache();
        ASSERT_EQ(c.Width(), 400);
        ASSERT_EQ(c.Height(), 300);
        const vcl::TColor border = active ? BorderActive : Border, face = active ? FaceActive : Face;
        // The caption band over the top frame and the caption; the border
        // image's three outer pixels below it; the face within.
        EXPECT_EQ(PixelAt(c, 200, 0), active ? BandActive : Band);
        EXPECT_EQ(PixelAt(c, 200, 22), active ? BandActive : Band);
        EXPECT_EQ(PixelAt(c, 200, 23), face);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(PixelAt(c, i, 100), border);
            EXPECT_EQ(PixelAt(c, 399 - i, 100), border);
            EXPECT_EQ(PixelAt(c, 200, 299 - i), border);
        }
        EXPECT_EQ(PixelAt(c, 3, 100), face);
        EXPECT_EQ(PixelAt(c, 200, 296), face);
        EXPECT_EQ(CountColour(c, active ? Border : BorderActive).Count, 0);
    }
    EXPECT_TRUE(f.Provider->FrameRendered);
    EXPECT_FALSE(f.Provider->FrameChanged || f.Provider->SkinData()->BGChanged || f.Provider->SkinData()->PaintLocked);

    // A cache of another size is stale, marked or not.
    f.Form.Form->SetBounds(100, 100, 500, 350);
    ASSERT_TRUE(f.Provider->RenderFrame());
    EXPECT_EQ(PixelAt(f.Cache(), 250, 349), BorderActive);
    // While a blend runs nothing is rendered.
    f.Provider->StateFlags |= pfBlendOnMoving;
    EXPECT_TRUE(f.Render(false));
    EXPECT_TRUE(f.Provider->SkinData()->BGChanged);
    EXPECT_EQ(PixelAt(f.Cache(), 250, 349), BorderActive);

    PreparedForm frameless(vcl::bsNone);
    ASSERT_TRUE(frameless.Render(false));
    EXPECT_EQ(CountColour(frameless.Cache(), Face).Count, 400 * 300);
}

struct Painter {
    void Paint(vcl::TObject *Sender) {
        vcl::TCanvas *canvas = static_cast<vcl::TForm *>(Sender)->Canvas();
        canvas->Brush()->SetColor(0x00FF00);
        canvas->FillRect({10, 10, 20, 20});
    }
};

TEST_F(FrameRenderer, TheGripAndTheFormsOwnPaintingLandAtTheClientArea) {
    PreparedForm f;
    f.Provider->SetGripMode(gmRightBottom);
    Painter painter;
    f.Form.Form->OnPaint = vcl::TNotifyEvent::Bind<&Painter::Paint>(&painter);
    ASSERT_TRUE(f.Render(false));
    f.Form.Form->OnPaint = {};
    const int x = f.Provider->GetClientOffsetX(), y = f.Provider->GetClientOffsetY();
    const int right = x + ClientWidth(f.Window()), bottom = y + ClientHeight(f.Window());
    EXPECT_EQ(CountColour(f.Cache(), Grip).Bounds, (vcl::TRect{right - 6, bottom - 6, right, bottom}));
    const ColourCount painted = CountColour(f.Cache(), 0x00FF00);
    EXPECT_EQ(painted.Bounds, (vcl::TRect{x + 10, y + 10, x + 20, y + 20}));
    EXPECT_EQ(painted.Count, 100);

    PreparedForm dialog(vcl::bsDialog);  // no sizing frame, no grip
    dialog.Provider->SetGripMode(gmRightBottom);
    ASSERT_TRUE(dialog.Render(false));
    EXPECT_EQ(CountColour(dialog.Cache(), Grip).Count, 0);
}

TEST_F(FrameRenderer, TheFormImageHoldsTheControlsAndIsOpaque) {
    TestForm bare;  // never shown: no cache yet
    EXPECT_FALSE(vcl::Create<TsSkinProvider>(bare.Form)->GetFormImage());

    PreparedForm f(vcl::bsSizeable, "");
    auto *label = f.Form.Add(vcl::Create<vcl::TLabel>(f.Form.Form), 20, 20);
    label->SetCaption("WWWWWWWW");
    label->Font()->SetColor(0x00FF00);
    f.Form.Add(vcl::Create<vcl::TButton>(f.Form.Form), 20, 100)->SetCaption("OK");
    ASSERT_TRUE(f.Render(false));
    std::unique_ptr<vcl::TBitmap> image = f.Provider->GetFormImage();
    ASSERT_TRUE(image);
    const int x = f.Provider->GetClientOffsetX(), y = f.Provider->GetClientOffsetY();
    const vcl::TRect labelArea{x + 20, y + 20, x + 140, y + 60}, buttonArea{x + 20, y + 100, x + 140, y + 140};
    EXPECT_GT(CountColour(*image, 0x00FF00, labelArea).Count, 10);
    EXPECT_EQ(CountColour(f.Cache(), 0x00FF00, labelArea).Count, 0);
    EXPECT_LT(CountColour(*image, Face, buttonArea).Count, 120 * 40);
    EXPECT_EQ(PixelAt(*image, 200, 10), PixelAt(f.Cache(), 200, 10));
    int transparent = 0;
    for (int py = 0; py < image->Height(); ++py)
        for (int px = 0; px < image->Width(); ++px) transparent += GetPixel32(*image, px, py) >> 24 != 255;
    EXPECT_EQ(transparent, 0);
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
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(f.Render(i % 2 == 0));
        if (i % 10 == 0) f.Form.Form->SetBounds(100, 100, 400 + i, 300 + i);
        f.Provider->GetFormImage();
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// ------------------------------------------------ our stored skin, Beryllo

uitest::TImage32 ImageOf(vcl::TBitmap &Bitmap) {
    uitest::TImage32 picture{Bitmap.Width(), Bitmap.Height(), {}};
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) picture.Pixels.push_back(GetPixel32(Bitmap, x, y));
    return picture;
}

TEST(Beryllo, TheInstallersWindowTakesTheSkinsFrame) {
    const FormsModules modules;
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetSkinName("Beryllo (internal)");
    ASSERT_TRUE(m->SkinData->Active);
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
    form.Add(vcl::Create<vcl::TButton>(form.Form), 24, 288)->SetCaption("Instaluj");
    // The status line: a label that the skin makes transparent.
    auto *status = form.Add(vcl::Create<vcl::TLabel>(form.Form), 200, 300);
    status->SetAutoSize(false);
    status->SetBounds(200, 300, 300, 16);
    status->SetCaption("Hotovo");
    form.Show();
    p->PrepareForm();
    p->FormActive = 1;
    p->ButtonCenterY = p->GetCaptionHeight(true) / 2 + GetBorderWidth(form.Form->WindowHandle()) / 2;
    p->SkinData()->BGChanged = true;
    ASSERT_TRUE(p->RenderFrame());
    vcl::TBitmap &c = *p->SkinData()->CacheBmp();
    ASSERT_EQ(c.Width(), 780);
    ASSERT_EQ(c.Height(), 366);
    const auto look = [&](const char *Section) { return m->Sections[m->FindSectionIndex(Section)].Props[1]; };
    const vcl::TColor face = look("FORM").Color;
    EXPECT_EQ(PixelAt(c, 390, 200), face);
    // The caption in the active caption colour, at the band's left; the
    // outline round the window below the caption.
    const ColourCount written = CountColour(c, look("CAPTION").FontColor, {0, 0, 780, 22});
    EXPECT_GT(written.Count, 30);
    EXPECT_LT(written.Bounds.Left, 40);
    EXPECT_NE(PixelAt(c, 0, 200), face);
    EXPECT_NE(PixelAt(c, 779, 200), face);
    EXPECT_NE(PixelAt(c, 390, 365), face);

    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-beryllo-frame.png").string(), ImageOf(c));
    std::unique_ptr<vcl::TBitmap> image = p->GetFormImage();
    ASSERT_TRUE(image);
    uitest::WritePng((folder / "forms-beryllo-window.png").string(), ImageOf(*image));

    // On the screen the label's text stands on the form's face: the part of
    // its rectangle right of the text is the face, nothing else.
    RedrawWindow(form.Form->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const HDC screen = GetDC(form.Form->WindowHandle());
    int other = 0;
    for (int y = 300; y < 316; ++y)
        for (int x = 300; x < 500; ++x) other += (GetPixel(screen, x, y) & 0xFFFFFF) != static_cast<COLORREF>(face);
    ReleaseDC(form.Form->WindowHandle(), screen);
    EXPECT_EQ(other, 0);
}

} // namespace
} // namespace skin
