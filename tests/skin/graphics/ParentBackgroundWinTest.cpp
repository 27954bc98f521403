// The questions a child asks its parent about what lies behind it, on real
// controls under Wine: the parent that paints itself into the asker's device
// context, the parent without a window asked directly, the colour behind a
// control and its disabled look, and a colour answer that lends its image.
#include <gtest/gtest.h>

#include <functional>

#include "BitmapTestSupport.h"
#include "TestSkin.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinSections.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

using namespace vcl;
using namespace skin;
using skin::test::Px;

namespace {

class TPlainForm : public TForm {
    VCL_CLASS(TPlainForm, TForm)
public:
    explicit TPlainForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {}
};
VCL_CLASS_INFO(TPlainForm)

// Stands in a control's WindowProc: Handler answers what it takes (true),
// everything else goes on to the control's own procedure.
struct THook {
    TControl *Control;
    TWndMethod Saved;
    std::function<bool(TMessage &)> Handler;

    THook(TControl *C, std::function<bool(TMessage &)> H) : Control(C), Saved(C->WindowProc), Handler(std::move(H)) {
        C->WindowProc = TWndMethod::Bind<&THook::Handle>(this);
    }
    ~THook() { Control->WindowProc = Saved; }
    THook(const THook &) = delete;
    THook &operator=(const THook &) = delete;
    void Handle(TMessage &m) {
        if (!Handler(m)) Saved(m);
    }
};

bool IsSkinCommand(const TMessage &m, unsigned Code) { return m.Msg == SM_SKINCOMMAND && m.WParamHi() == Code; }

// The parent's client in four colours split at (100, 50).
std::uint32_t Quadrant(int x, int y) {
    static constexpr std::uint32_t colours[4] = {0x0000C0, 0x00C000, 0xC00000, 0xC0C000};  // COLORREFs
    return colours[(x >= 100 ? 1 : 0) + (y >= 50 ? 2 : 0)];
}

void Fill(HDC DC, const RECT &R, COLORREF Colour) {
    SetBkColor(DC, Colour);
    ExtTextOutW(DC, 0, 0, ETO_OPAQUE, &R, L"", 0, nullptr);
}

// A parent that does not answer the question but paints itself when asked:
// its four quadrants on erasing, nothing on painting. Records the DCs.
struct TSelfPainter {
    HDC Erased = nullptr, Painted = nullptr;
    THook Hook;
    explicit TSelfPainter(TControl *Parent)
        : Hook(Parent, [this](TMessage &m) {
              if (m.Msg == WM_ERASEBKGND) {
                  Erased = reinterpret_cast<HDC>(m.WParam);
                  for (int q = 0; q < 4; ++q) {
                      const int x = q % 2 ? 100 : 0, y = q / 2 ? 50 : 0;
                      Fill(Erased, {x, y, x + 100, y + 50}, Quadrant(x, y));
                  }
                  m.Result = 1;
                  return true;
              }
              if (m.Msg == WM_PAINT && m.WParam != 0) {
                  Painted = reinterpret_cast<HDC>(m.WParam);
                  return true;
              }
              return false;
          }) {}
};

} // namespace

// The parent paints into the asker's DC: (X, Y) of the parent lands on the
// DC's origin, and only Rect is painted; the DC is left as it was.
TEST(ParentBackgroundWin, AnUnansweredQuestionWithADcLetsTheParentPaintItsPieceThere) {
    std::unique_ptr<TPlainForm> form(Create<TPlainForm>(Application));
    form->SetBounds(50, 50, 260, 180);
    form->Show();
    TSelfPainter parent(form.get());
    const auto ask = [&](bool byWindow) {
        auto target = skin::test::Plain32(30, 20, Px(255, 255, 255, 255));
        HDC dc = target->Canvas()->Handle();
        TvlBgQuery q;
        q.X = 90, q.Y = 40;
        q.Rect = {5, 5, 25, 15};
        q.DC = dc;
        const bool stays = byWindow ? QueryParentBackgroundWnd(q, form->Handle(), true, TvlAsker(form.get()))
                                    : QueryParentBackground(q, form.get(), true, TvlAsker(form.get()));
        EXPECT_TRUE(stays);  // the asker is still there
        EXPECT_EQ(q.Kind, bqNone);
        EXPECT_TRUE(q.PaintIntoDC);
        EXPECT_EQ(q.Rect, Rect(95, 45, 115, 55));  // moved by (X, Y)
        EXPECT_EQ(parent.Erased, dc);
        EXPECT_EQ(parent.Painted, dc);
        skin::test::ExpectPixels(
            *target,
            [](int x, int y) {
                const bool inside = x >= 5 && x < 25 && y >= 5 && y < 15;
                return inside ? SwapRedBlue(Quadrant(x + 90, y + 40)) : 0xFFFFFFu;
            },
            0xFFFFFF);
        // The origin and the clip are as they were.
        POINT origin{-1, -1};
        GetViewportOrgEx(dc, &origin);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);
        Fill(dc, {0, 0, 30, 20}, 0x102030);
        skin::test::ExpectPixels(*target, [](int, int) { return 0x302010u; }, 0xFFFFFF);
    };
    ask(false);
    parent.Erased = parent.Painted = nullptr;
    ask(true);
}

// A parent without a window (a window-less control, or a windowed one whose
// window does not exist yet) is asked directly, and no window is made for it.
TEST(ParentBackgroundWin, AParentWithoutAWindowIsAskedDirectly) {
    std::unique_ptr<TPlainForm> form(Create<TPlainForm>(Application));
    TImage *picture = Create<TImage>(form.get());
    picture->SetColor(0x345678);
    auto image = skin::test::Plain32(4, 4, Px(1, 2, 3, 255));
    ASSERT_FALSE(form->HandleAllocated());
    int asked = 0;
    const auto answer = [&](TMessage &m) {
        if (!IsSkinCommand(m, SC_GET_BG_INFO)) return false;
        auto *q = reinterpret_cast<TvlBgQuery *>(m.LParam);
        q->Image = image.get();
        q->X = 7, q->Y = 8;
        q->Kind = bqImage;
        m.Result = 1;
        ++asked;
        return true;
    };
    {
        THook hook(form.get(), answer);
        TvlBgQuery q;
        EXPECT_TRUE(QueryParentBackground(q, form.get(), false, TvlAsker(form.get())));
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(q.Kind, bqImage);
        EXPECT_EQ(q.Image, image.get());
        EXPECT_FALSE(form->HandleAllocated());
    }
    {
        THook hook(picture, answer);
        TvlBgQuery q;
        EXPECT_TRUE(QueryParentBackground(q, picture, false, TvlAsker(picture)));
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(q.X, 7);
    }
    // Unanswered, the window-less control's own colour is the answer.
    TvlBgQuery q;
    EXPECT_TRUE(QueryParentBackground(q, picture, false, TvlAsker(picture)));
    EXPECT_EQ(q.Kind, bqColor);
    EXPECT_EQ(q.Color, 0x345678);
    EXPECT_FALSE(form->HandleAllocated());
}

TEST(ParentBackgroundWin, TheColourBehindAControlAndItsDisabledLook) {
    std::unique_ptr<TPlainForm> form(Create<TPlainForm>(Application));
    TImage *control = Create<TImage>(form.get());
    EXPECT_EQ(GetControlColor(nullptr), clFuchsia);
    control->SetColor(clWindow);  // a control nobody skins: its own colour, resolved
    EXPECT_EQ(GetControlColor(control), static_cast<TColor>(GetSysColor(COLOR_WINDOW)));

    // A skinned control answers with its background colour.
    TColor behind = clBtnShadow;
    LPARAM asked = 0;
    THook hook(control, [&](TMessage &m) {
        if (IsSkinCommand(m, SC_IS_HANDLED)) {
            m.Result = 1;
            return true;
        }
        if (IsSkinCommand(m, SC_GET_BG_COLOR)) {
            asked = m.LParam;
            m.Result = behind;
            return true;
        }
        return false;
    });
    EXPECT_EQ(GetControlColor(control), static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(asked, clFuchsia);

    // Blended: 40 % of the image over the control's colour, unless the
    // record names a colour of its own.
    behind = 0x00FF00;
    const TvlBgInfo red{nullptr, 0, 0, 0x0000FF, {}, false};
    const struct {
        const TvlBgInfo *info;
        std::uint32_t expected;
    } cases[] = {
        {nullptr, Px(40, 153, 80, 255)},
        {&EmptyBgInfo, Px(40, 153, 80, 255)},
        {&red, Px(40, 0, 233, 255)},
    };
    for (const auto &c : cases) {
        auto bmp = skin::test::Plain32(2, 1, Px(100, 0, 200, 255));
        PaintDisabledLook(*bmp, dlBlended, control, c.info, {});
        skin::test::ExpectPixels(*bmp, [&](int, int) { return c.expected; });
    }

    // Greyed too: the channels first move to their mean (-230 of 255).
    auto bmp = skin::test::Plain32(1, 1, Px(0, 0, 255, 255));
    PaintDisabledLook(*bmp, dlGrayed, control, nullptr, {});
    EXPECT_EQ(GetPixel32(*bmp, 0, 0), Px(76, 76, 102, 255));
}

// A parent that answers with a colour may lend its image with the widths of
// its real borders: a transparent child shows those borders where it
// overlaps them and the colour elsewhere.
TEST(ParentBackgroundWin, AColourAnswerLendsItsImageBordersToATransparentChild) {
    std::unique_ptr<TPlainForm> form(Create<TPlainForm>(Application));
    auto image = skin::test::Bitmap32(20, 20, [](int x, int y) { return Px(x, y, 5, 255); });
    THook hook(form.get(), [&](TMessage &m) {
        if (!IsSkinCommand(m, SC_GET_BG_INFO)) return false;
        auto *q = reinterpret_cast<TvlBgQuery *>(m.LParam);
        q->Image = image.get();
        q->Color = 0x0000FF;
        q->Margins = {3, 2, 4, 5};
        q->Kind = bqColor;
        m.Result = 1;
        return true;
    });
    TvlBgQuery q;
    QueryParentBackground(q, form.get(), false, TvlAsker(form.get()));
    TvlBgInfo info;
    BgQueryToBgInfo(q, info);
    EXPECT_FALSE(info.UseBmp);

    skin::test::TTestSkin skin;
    const int s = skin.AddSection("TRANSPARENT", 0, 0, 0);
    skin.Sections[s].Props[0].Transparency = 100;
    auto child = skin::test::Plain32(10, 10, Px(9, 9, 9, 255));
    // The child's 10 x 10 piece at (8, 8) of the image: its last 2 columns
    // lie in the right border, its last 3 rows in the bottom one.
    PaintSectionBackground(s, info, 0, {0, 0, 10, 10}, {8, 8}, *child, &skin, -1, -1, clFuchsia);
    skin::test::ExpectPixels(*child, [](int x, int y) {
        return x >= 8 || y >= 7 ? Px(8 + x, 8 + y, 5, 255) : Px(0, 0, 255, 255);
    });
}
