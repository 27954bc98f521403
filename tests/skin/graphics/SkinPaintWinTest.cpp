// The painters on real windows and GDI text under Wine: a parent that
// answers the background question with its image, a child whose rounded
// border corners, glowing caption and border strips show the parent's
// pixels, text by its bounding box and colours, sections painted through
// device contexts, and a picture of a button section for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "BitmapTestSupport.h"
#include "TestSkin.h"
#include "UiDriver.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlControlBorder.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

using namespace vcl;
using namespace skin;
using skin::test::Px;

namespace {

class TSampleForm : public TForm {
    VCL_CLASS(TSampleForm, TForm)
public:
    explicit TSampleForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {}
};
VCL_CLASS_INFO(TSampleForm)

// The parent's picture: every pixel tells its place (blue x, green y).
constexpr std::uint32_t ParentAt(int x, int y) { return Px(x, y, 200, 255); }

// Stands in the form's WindowProc and answers SC_GET_BG_INFO with its image.
struct TImageAnswer {
    TCustomForm *Form;
    TWndMethod Saved;
    std::unique_ptr<TBitmap> Image = skin::test::Bitmap32(200, 120, ParentAt);
    int Asked = 0;

    explicit TImageAnswer(TCustomForm *F) : Form(F), Saved(F->WindowProc) {
        F->WindowProc = TWndMethod::Bind<&TImageAnswer::Handle>(this);
    }
    ~TImageAnswer() { Form->WindowProc = Saved; }
    void Handle(TMessage &m) {
        if (m.Msg == SM_SKINCOMMAND && m.WParamHi() == SC_GET_BG_INFO) {
            auto *q = reinterpret_cast<TvlBgQuery *>(m.LParam);
            q->Image = Image.get();
            q->X = q->Y = 0;
            q->Kind = bqImage;
            m.Result = 1;
            ++Asked;
            return;
        }
        Saved(m);
    }
};

struct TFixture {
    std::unique_ptr<TSampleForm> Form{Create<TSampleForm>(Application)};
    TButton *Child = Create<TButton>(Form.get());
    TFixture() {
        Form->SetBounds(50, 50, 260, 180);
        Child->SetParent(Form.get());
        Child->SetBounds(30, 20, 90, 30);
        Form->Show();
    }
};

// A 3-state button border mask, 8 x 8 each, margins 3, with rounded key corners.
int RoundedButton(skin::test::TTestSkin &skin) {
    const int m = skin.AddMask({0, 0, 24, 8}, 3, 0, 3, 3, 3, 3);
    for (int s = 0; s < 3; ++s)
        for (const auto &[x, y] : {std::pair{0, 0}, std::pair{7, 0}, std::pair{0, 7}, std::pair{7, 7}})
            skin.Master.At(s * 8 + x, y) = KeyPixel;
    skin.Masks[m].CornerClass = 1;
    return m;
}

// The skin data of the fixture's button, with a cache of its size; its
// background colour is red.
struct TChildSkin {
    skin::test::TTestSkin Skin;
    std::unique_ptr<TBitmap> Cache;
    skin::test::TFakeControlData Data;
    explicit TChildSkin(TControl *Child) : Cache(NewBitmap32(Child->Width(), Child->Height())) {
        Data.Manager = &Skin;
        Data.Owner = Child;
        Data.Cache = Cache.get();
        Data.Back = 0x0000FF;
    }
};

constexpr std::uint32_t White = Px(255, 255, 255, 255);
constexpr std::uint32_t Red = Px(0, 0, 255, 255);

std::uint32_t Rgb(TBitmap &bmp, int x, int y) { return GetPixel32(bmp, x, y) & 0xFFFFFF; }

// The bounds of the pixels that differ from Background.
TRect Painted(TBitmap &bmp, std::uint32_t background) {
    TRect r{bmp.Width(), bmp.Height(), 0, 0};
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (GetPixel32(bmp, x, y) != background)
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r;
}

} // namespace

TEST(SkinPaintWin, ChildCornersAndGlowShowTheParentsImage) {
    TFixture f;
    TImageAnswer answer(f.Form.get());
    TChildSkin child(f.Child);
    const int section = child.Skin.AddSection("BUTTON", 0x00C000, 0x00E000, 0x008000);
    child.Skin.Sections[section].BorderMask = RoundedButton(child.Skin);
    skin::test::TFakeControlData &data = child.Data;
    TBitmap *cache = child.Cache.get();
    data.Skin = section;
    data.Border = child.Skin.Sections[section].BorderMask;
    const TRect all{0, 0, cache->Width(), cache->Height()};
    PaintControlSkin(data, EmptyBgInfo, 0, all, {}, *cache, false);
    EXPECT_EQ(GetPixel32(*cache, 0, 0), KeyPixel);  // no background asked yet
    PaintBorderCorners(data, 0, bcAll, TvlAsker(data.Owner));
    EXPECT_EQ(answer.Asked, 1);
    const int w = cache->Width(), h = cache->Height();
    EXPECT_EQ(GetPixel32(*cache, 0, 0), ParentAt(30, 20));
    EXPECT_EQ(GetPixel32(*cache, w - 1, h - 1), ParentAt(30 + w - 1, 20 + h - 1));
    EXPECT_EQ(GetPixel32(*cache, w / 2, h / 2), Px(0, 0xC0, 0, 255));

    // A transparent section over the parent's answer: the cache shows the
    // parent's picture inside the border. A glowing caption lays its glow
    // over it, so the parent's pixels show through the glow.
    const int clear = child.Skin.AddSection("TRANSPARENT", 0, 0, 0);
    TsGenState &st = child.Skin.Sections[clear].Props[0];
    st.Transparency = 100;
    st.GSize = 2;
    st.GCol = 0x0000FF;
    data.Skin = clear;
    TvlBgQuery q;
    QueryParentBackground(q, f.Form.get(), false, TvlAsker(f.Child));
    TvlBgInfo info;
    BgQueryToBgInfo(q, info);
    PaintControlSkin(data, info, 0, all, {f.Child->Left(), f.Child->Top()}, *cache, true);
    std::vector<std::uint32_t> before;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            before.push_back(GetPixel32(*cache, x, y));
            if (x >= 3 && y >= 3 && x < w - 3 && y < h - 3) {
                ASSERT_EQ(before.back(), ParentAt(30 + x, 20 + y));
            }
        }
    const TRect caption{10, 5, w - 10, h - 5};
    auto screen = skin::test::Plain32(w, h, White);
    WriteTextForControl(*screen->Canvas(), "Instaluj", true, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, data, 0);
    // Each pixel is what was there (m = 255), or the glow's red laid over it
    // with a weight m below 255: b = b0 * m >> 8, r = (255 * (255 - m) + r0 * m) >> 8.
    const auto laid = [](std::uint32_t under, int m) {
        const auto one = [m](std::uint32_t c, int glow) { return ((255 - m) * glow + int(c) * m) >> 8; };
        return Px(one(under & 0xFF, 0), one((under >> 8) & 0xFF, 0), one((under >> 16) & 0xFF, 255), 255);
    };
    int mixed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t under = before[static_cast<std::size_t>(y * w + x)];
            const std::uint32_t p = GetPixel32(*cache, x, y);
            int weight = p == under ? 255 : -1;
            for (int m = 254; m >= 0 && weight < 0; --m)
                if (laid(under, m) == p) weight = m;
            ASSERT_GE(weight, 0) << x << ", " << y << ": " << skin::test::Hex(p) << " over " << skin::test::Hex(under);
            if (weight > 0 && weight < 255) ++mixed;
            if (weight < 255) {
                EXPECT_TRUE(x >= caption.Left - 6 && x < caption.Right + 6 && y >= caption.Top - 6 &&
                            y < caption.Bottom + 6);
            }
        }
    EXPECT_GT(mixed, 20);  // red and the parent's pixel both show
    EXPECT_GT(Painted(*screen, White).Width(), 10);  // the caption itself went to the canvas
    EXPECT_EQ(GetPixel32(*cache, 0, 0), ParentAt(30, 20));  // the corners still show the parent
}

TEST(SkinPaintWin, UnansweredQuestionsFallBackToColours) {
    TFixture f;
    f.Form->SetColor(0x123456);
    TvlBgQuery q;
    q.Image = reinterpret_cast<TBitmap *>(&q);  // a stale answer the asker must clear
    EXPECT_TRUE(QueryParentBackground(q, f.Form.get(), false, TvlAsker(f.Child)));
    EXPECT_EQ(q.Kind, bqColor);
    EXPECT_EQ(q.Color, 0x123456);
    EXPECT_EQ(q.Image, nullptr);
    TvlBgQuery w;
    EXPECT_TRUE(QueryParentBackgroundWnd(w, f.Child->Handle(), false, TvlAsker(f.Child)));
    EXPECT_EQ(w.Kind, bqColor);
    EXPECT_EQ(w.Color, clBtnFace);
    TvlBgInfo info;
    w.Kind = bqNoImage;
    w.Color = clFuchsia;
    BgQueryToBgInfo(w, info);
    EXPECT_FALSE(info.UseBmp);
    EXPECT_EQ(info.Color, clFuchsia);  // no background, not a colour
}

TEST(SkinPaintWin, TextIsMeasuredAndDrawnInsideItsBox) {
    auto bmp = skin::test::Plain32(120, 40, Px(255, 255, 255, 255));
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(GetTextSize(font, "", 0, false, 0), (TSize{0, 0}));
    const TSize one = GetTextSize(font, "Instaluj soubory", 0, false, 0);
    EXPECT_GT(one.cx, 20);
    const TSize wrapped = GetTextSize(font, "Instaluj soubory", DT_WORDBREAK, true, one.cx / 2 + 5);
    EXPECT_GT(wrapped.cy, one.cy);

    skin::test::TTestSkin skin;
    const int s = skin.AddSection("LABEL", 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
    skin.Sections[s].Props[0].FontColor = 0x0000FF;
    const TRect box{10, 8, 110, 32};
    DrawSkinText(*bmp, "Příliš žluťoučký", false, box, DT_LEFT | DT_TOP, s, 0, &skin);
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const std::uint32_t p = GetPixel32(*bmp, x, y);
            if (p != Px(255, 255, 255, 255)) {
                EXPECT_TRUE(x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom) << x << ", " << y;
                if (((p >> 16) & 0xFF) > (p & 0xFF) + 0x40) ++red;
            }
        }
    EXPECT_GT(red, 30);
}

TEST(SkinPaintWin, ButtonSectionArtifact) {
    // Three states (blue, orange, dark) of a button with a frame, a light
    // band and a key-rounded corner, at three sizes, tiled and stretched.
    skin::test::TTestSkin skin(48, 12);
    const std::uint32_t face[3] = {Px(230, 200, 160, 255), Px(90, 180, 250, 255), Px(140, 90, 40, 255)};
    for (int s = 0; s < 3; ++s)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool frame = x == 0 || y == 0 || x == 15 || y == 11;
                const bool band = y >= 2 && y <= 4;
                std::uint32_t p = frame ? Px(60, 60, 60, 255) : band ? Px(255, 255, 255, 255) : face[s];
                if (!frame && ((x + y) % 4 == 0)) p = (p & 0xFEFEFEFE) >> 1 | 0xFF000000;  // a pattern that shows tiling
                skin.Master.At(s * 16 + x, y) = p;
            }
    for (int s = 0; s < 3; ++s)
        for (const auto &[x, y] : {std::pair{0, 0}, std::pair{15, 0}, std::pair{0, 11}, std::pair{15, 11}})
            skin.Master.At(s * 16 + x, y) = KeyPixel;
    const int tiled = skin.AddMask({0, 0, 48, 12}, 3, 0, 4, 4, 4, 4, dmDrawCenter);
    const int stretched = skin.AddMask({0, 0, 48, 12}, 3, 0, 4, 4, 4, 4, dmDrawCenter | dmStretch);
    for (int m : {tiled, stretched}) skin.Masks[m].CornerClass = 1;
    const TSize sizes[3] = {{40, 14}, {90, 26}, {160, 44}};
    auto out = skin::test::Plain32(3 * 180, 2 * 160, Px(245, 245, 245, 255));
    TvlBgInfo bg{nullptr, 0, 0, 0xF5F5F5, {}, false};
    for (int row = 0; row < 2; ++row)
        for (int s = 0; s < 3; ++s) {
            int y = row * 160 + 10;
            for (const TSize &size : sizes) {
                const TRect r{s * 180 + 10, y, s * 180 + 10 + size.cx, y + size.cy};
                DrawSkinRect(*out, r, bg, skin.Masks[row == 0 ? tiled : stretched], s, true);
                y += size.cy + 8;
            }
        }
    // The build folder as Wine names it.
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::TImage32 image{out->Width(), out->Height(), {}};
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) image.Pixels.push_back(GetPixel32(*out, x, y));
    uitest::WritePng((folder / "skin-button-states.png").string(), image);
    EXPECT_TRUE(std::filesystem::exists(folder / "skin-button-states.png"));
    EXPECT_EQ(GetPixel32(*out, 10, 10) & 0xFFFFFF, 0xF5F5F5u);  // a rounded corner shows the colour behind
    EXPECT_EQ(GetPixel32(*out, 11, 10), Px(60, 60, 60, 255));
}

TEST(SkinPaintWin, ControlBorderFramesAndItsClientRect) {
    TFixture f;
    TImageAnswer answer(f.Form.get());
    TChildSkin child(f.Child);  // 90 x 30
    const TRect r{0, 0, 90, 30};
    const int keyed = child.Skin.AddMask({0, 0, 8, 8}, 1, 0, 2, 2, 2, 2);
    // Without a border mask the frame goes to the DC and the client rect lies
    // inside it. A keyed border of margins 2: a frame of 3 leaves a 1-pixel
    // side inside the margins, and its strips (only they) reach the DC.
    const struct {
        int border, frame;
        TRect inner;
        std::uint32_t screen11, screen33;
    } cases[] = {{-1, 3, {3, 3, 87, 27}, Red, White}, {-1, 0, r, White, White},
                 {keyed, 0, {2, 2, 88, 28}, White, White}, {keyed, 3, {3, 3, 87, 27}, skin::test::At(1, 1), White},
                 {keyed, 50, {50, 50, 50, 50}, skin::test::At(1, 1), Red}};
    for (const auto &c : cases) {
        auto screen = skin::test::Plain32(90, 30, White);
        TRect inner{-7, -7, -7, -7};
        child.Data.Border = c.border;
        PaintControlBorder(screen->Canvas()->Handle(), r, c.frame, child.Data, 0, inner, TvlAsker(child.Data.Owner));
        EXPECT_EQ(inner, c.inner) << c.border << " " << c.frame;
        EXPECT_EQ(Rgb(*screen, 1, 1), c.screen11 & 0xFFFFFF) << c.border << " " << c.frame;
        EXPECT_EQ(Rgb(*screen, 3, 3), c.screen33 & 0xFFFFFF) << c.border << " " << c.frame;
    }
    EXPECT_EQ(GetPixel32(*child.Cache, 2, 2), Red);

    // An image-and-mask border over the parent's strips, or over the frame
    // filled in the control's colour when its background is the parent's.
    const int masked = child.Skin.AddMask({8, 0, 16, 16}, 1, 1, 2, 2, 2, 2);
    child.Skin.Paint({8, 0, 16, 8}, KeyPixel);
    child.Skin.Masks[masked].CornerClass = 1;
    child.Data.Border = masked;
    for (const auto &[flags, side] : {std::pair{0, ParentAt(75, 20)}, std::pair{1, Red}}) {
        child.Data.Flags = static_cast<std::uint16_t>(flags);
        TRect inner;
        PaintControlBorder(child.Cache->Canvas()->Handle(), r, 0, child.Data, 0, inner, TvlAsker(child.Data.Owner));
        EXPECT_EQ(Rgb(*child.Cache, 45, 0), side & 0xFFFFFF) << flags;
        EXPECT_EQ(Rgb(*child.Cache, 0, 0), ParentAt(30, 20) & 0xFFFFFF) << flags;
    }
}

TEST(SkinPaintWin, SetByteRecreatesTheWindowOnlyOnAChange) {
    TFixture f;
    std::uint8_t stored = 1;
    const HWND first = f.Child->Handle();
    SetByteAndRecreateWnd(*f.Child, stored, 1);
    EXPECT_TRUE(IsWindow(first));
    SetByteAndRecreateWnd(*f.Child, stored, 0);
    EXPECT_EQ(stored, 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(f.Child->Handle()));
}

TEST(SkinPaintWin, SectionsPaintIntoAndOverDeviceContexts) {
    skin::test::TTestSkin skin;
    const int opaque = skin.AddSection("PANEL", 0x0000FF, 0, 0);
    const int clear = skin.AddSection("TRANSPARENT", 0, 0, 0);
    skin.Sections[clear].Props[0].Transparency = 100;
    auto target = skin::test::Plain32(12, 10, Px(1, 2, 3, 255));
    PaintSkinSectionToDC(opaque, EmptyBgInfo, 0, {2, 3, 7, 8}, {}, target->Canvas()->Handle(), &skin);
    skin::test::ExpectPixels(
        *target, [](int x, int y) { return x >= 2 && x < 7 && y >= 3 && y < 8 ? Red : Px(1, 2, 3, 255); }, 0xFFFFFF);

    // Over a DC's picture at (3, 4): the first index, else the fallback.
    auto parent = skin::test::Bitmap32(40, 40, ParentAt);
    const struct {
        int index, fallback, used;
        std::uint32_t pixel;
    } cases[] = {{-1, clear, clear, ParentAt(3, 4)}, {opaque, clear, opaque, Red}, {-1, -1, -1, Px(9, 9, 9, 255)}};
    for (const auto &c : cases) {
        auto bmp = skin::test::Plain32(6, 5, Px(9, 9, 9, 255));
        EXPECT_EQ(PaintSkinSectionOverDC(*bmp, c.index, c.fallback, 0, &skin, {3, 4}, clFuchsia,
                                         parent->Canvas()->Handle()),
                  c.used);
        EXPECT_EQ(Rgb(*bmp, 0, 0), c.pixel & 0xFFFFFF) << c.index << " " << c.fallback;
    }
}

TEST(SkinPaintWin, CaptionsTakeContoursOnlyWhenSetUnderlineAndEmboss) {
    skin::test::TTestSkin skin;
    const int s = skin.AddSection("WEBBUTTON", 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
    skin.Sections[s].Props[0].FontColor = 0x800000;
    skin.StdSectionIndexes[ssWebButton] = s;
    const TRect box{4, 4, 116, 36};
    const UINT flags = DT_LEFT | DT_TOP | DT_SINGLELINE;
    const auto draw = [&](std::uint32_t background, auto paint) {
        auto bmp = skin::test::Plain32(120, 40, background);
        paint(*bmp->Canvas());
        return bmp;
    };
    // Contours of -1 are none: the caption is the text drawn once.
    auto once = draw(White, [&](TCanvas &c) {
        c.Font()->SetColor(0x800000);
        DrawTextOnCanvas(c, "Instaluj", box, flags);
    });
    auto section = draw(White, [&](TCanvas &c) { WriteSectionText(c, "Instaluj", true, box, flags, s, 0, &skin); });
    skin::test::ExpectPixels(*section, [&](int x, int y) { return GetPixel32(*once, x, y); });

    // A hot web button's caption is underlined; the normal one is not.
    skin::test::TFakeControlData data;
    data.Manager = &skin;
    data.Skin = s;
    for (int state : {0, 1}) {
        auto bmp = draw(White, [&](TCanvas &c) { WriteTextForControl(c, "Web", true, box, flags, data, state); });
        EXPECT_EQ(bmp->Canvas()->Font()->Style().Contains(fsUnderline), state == 1);
    }
    // Disabled and unskinned: light at (+1, +1), dark in place.
    data.Skinned = false;
    const std::uint32_t black = Px(0, 0, 0, 255);
    auto plain = draw(black, [&](TCanvas &c) { DrawTextOnCanvas(c, "Instaluj", box, flags); });
    auto embossed = draw(black, [&](TCanvas &c) { WriteTextForControl(c, "Instaluj", false, box, flags, data, 0); });
    const TRect p = Painted(*plain, black);
    EXPECT_EQ(Painted(*embossed, black), Rect(p.Left, p.Top, p.Right + 1, p.Bottom + 1));
}

TEST(SkinPaintWin, ImagesOfTheirOwnAreReadFromThemAndTheTableStays) {
    TFixture f;
    TImageAnswer answer(f.Form.get());
    TChildSkin child(f.Child);
    // A 2 x 2 texture over its black mask in a bitmap of its own, unlike the master.
    const int t = child.Skin.AddMask({0, 0, 2, 4}, 1, 1, 0, 0, 0, 0);
    child.Skin.Masks[t].Bmp = skin::test::Bitmap32(2, 4, [](int x, int y) { return y < 2 ? Px(x, y, 77, 255) : 0; });
    auto dst = skin::test::Plain32(4, 4, Px(1, 2, 3, 255));
    TRect r{0, 0, 4, 4};
    PaintMaskedTexture(*dst, r, EmptyBgInfo, child.Skin.Masks[t], tfTile);
    skin::test::ExpectPixels(*dst, [](int x, int y) { return Px(x % 2, y % 2, 77, 255); });

    // A border picture of its own without a state count is read as three
    // states over their mask; the table's record stays as it was.
    const int b = child.Skin.AddMask({}, 0, 0, 2, 2, 2, 2);
    child.Skin.Masks[b].Bmp =
        skin::test::Bitmap32(18, 12, [](int x, int y) { return x % 6 == 0 && y == 0 ? KeyPixel : Px(5, 5, 5, 255); });
    child.Data.Border = b;
    PaintBorderCorners(child.Data, 0, bcAll, TvlAsker(child.Data.Owner));
    EXPECT_EQ(GetPixel32(*child.Cache, 0, 0), ParentAt(30, 20));
    EXPECT_EQ(child.Skin.Masks[b].ImageCount, 0);
    EXPECT_EQ(child.Skin.Masks[b].MaskType, 0);
    EXPECT_EQ(child.Skin.Masks[b].R, TRect{});
}

// Every painter that takes GDI objects or DCs for a moment (text, glows,
// sections through DCs, the parent's answer) gives them all back.
TEST(SkinPaintWin, TenThousandPaintsLeaveTheHandleCountsWhereTheyWere) {
    TFixture f;
    TImageAnswer answer(f.Form.get());
    // Counted before the first paint; what the paints keep (the glow's mask,
    // the DCs of the cache and the target) goes with its owner.
    const THandleCounts before = LiveHandles();
    {
        TChildSkin child(f.Child);
        const int section = child.Skin.AddSection("BUTTON", 0x00C000, 0x00E000, 0x008000);
        child.Skin.Sections[section].BorderMask = RoundedButton(child.Skin);
        child.Data.Skin = section;
        child.Data.Border = child.Skin.Sections[section].BorderMask;
        TBitmap &cache = *child.Cache;
        const TRect all{0, 0, cache.Width(), cache.Height()};
        TBitmap glowMask;
        auto target = skin::test::Plain32(40, 20, Px(1, 2, 3, 255));
        for (int i = 0; i < 10000; ++i) {
            const int state = i % 3;
            PaintControlSkin(child.Data, EmptyBgInfo, state, all, {}, cache, false);
            PaintBorderCorners(child.Data, state, bcAll, TvlAsker(child.Data.Owner));
            if (i % 10 == 0)
                WriteTextWithEffects(cache, "Instaluj", {10, 5, all.Right - 10, all.Bottom - 5},
                                     DT_CENTER | DT_VCENTER | DT_SINGLELINE, 4, 1, 0x0000FF, glowMask);
            DrawSkinText(cache, "Hotovo", false, all, DT_CENTER, section, state, &child.Skin);
            PaintSkinSectionToDC(section, EmptyBgInfo, state, {0, 0, 40, 20}, {}, target->Canvas()->Handle(),
                                 &child.Skin);
        }
        EXPECT_EQ(answer.Asked, 10000);
    }
    EXPECT_EQ(LiveHandles(), before);
}
