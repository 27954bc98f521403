#pragma once
// What the tests of the extended border share: a manager with our stored
// skin and ExtendedBorders on, and a skinned form with its provider shown
// at a known place, its border window around it. Windows only.
#include <windows.h>

#include <chrono>

#include "CaptionTestSupport.h"
#include "skin/forms/sFormBorder.h"
#include "vcl/GdiObjects.h"

namespace skin::test {

using namespace std::chrono_literals;

inline ManagerPtr BorderedManager() {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetExtendedBorders(true);
    m->SetSkinName("Beryllo (internal)");
    return m;
}

// A skinned form with a provider, shown at a known place.
struct BorderedForm {
    // Show false: the caller adds children first, then calls ShowSkinned.
    explicit BorderedForm(vcl::TFormBorderStyle Style = vcl::bsSizeable, vcl::TRect Bounds = {300, 200, 720, 500},
                          bool Show = true) {
        Form.Form->SetBorderStyle(Style);
        Form.Form->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
        if (Show) ShowSkinned();
    }
    void ShowSkinned() {
        Form.Form->SetCaption("Border");
        P = vcl::Create<TsSkinProvider>(Form.Form);
        Form.Show();
        uitest::PumpUntil([] { return false; }, 100ms);
    }
    // A main menu of one item ("File"): the form gets a menu line. Before
    // ShowSkinned.
    void AddMenuLine() {
        auto *menu = vcl::Create<vcl::TMainMenu>(Form.Form);
        auto *item = vcl::Create<vcl::TMenuItem>(menu);
        item->SetCaption("File");
        menu->Items()->Add(item);
        Form.Form->SetMenu(menu);
    }
    HWND Wnd() const { return Form.Form->WindowHandle(); }
    HWND Border() const { return P->BorderWindow(); }
    vcl::TRect M() const { return P->GetShadowMargins(); }
    // The window's top-left corner in the frame image: the margins and the
    // skin frame's excess over the window's own.
    vcl::TPoint Off() const { return P->WindowToFrameOffset(); }
    // Where the border window lies: around the form at that offset, as
    // large as the frame image.
    vcl::TRect Place() const {
        const vcl::TRect o = RectOf(Wnd());
        const vcl::TPoint off = Off();
        return {o.Left - off.X, o.Top - off.Y, o.Left - off.X + P->CacheWidth(), o.Top - off.Y + P->CacheHeight()};
    }
    static vcl::TRect RectOf(HWND W) {
        RECT r{};
        GetWindowRect(W, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    // What a user sees of the form: the border window's picture as the X
    // server holds it, with what the form drew itself in the border's hole
    // (the screen reads black where two windows of one process overlap, and
    // so does the covered X window). Empty when no X picture can be taken.
    uitest::TImage32 Seen() const {
        uitest::TImage32 seen = uitest::CaptureXWindow(Border());
        const uitest::TImage32 own = uitest::CaptureWindow(Wnd());
        if (seen.Width == 0 || own.Width == 0) return {};
        const vcl::TRegionHandle hole(CreateRectRgn(0, 0, 0, 0));
        const HRGN region = hole.Get();
        const bool shaped = GetWindowRgn(Border(), region) != ERROR;
        const vcl::TPoint off = Off();
        for (int y = 0; y < seen.Height; ++y)
            for (int x = 0; x < seen.Width; ++x) {
                const int wx = x - off.X, wy = y - off.Y;
                if (shaped && !PtInRegion(region, x, y) && wx >= 0 && wy >= 0 && wx < own.Width && wy < own.Height)
                    seen.Pixels[static_cast<std::size_t>(y) * seen.Width + x] = own.At(wx, wy);
            }
        return seen;
    }
    // A point of the border window on the screen.
    vcl::TPoint OnScreen(vcl::TPoint P) const {
        const vcl::TRect b = RectOf(Border());
        return {b.Left + P.X, b.Top + P.Y};
    }
    TestForm Form;
    TsSkinProvider *P = nullptr;
};

} // namespace skin::test
