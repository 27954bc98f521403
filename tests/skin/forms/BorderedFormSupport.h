#pragma once
// What the tests of the extended border share: a manager with our stored
// skin and ExtendedBorders on, and a skinned form with its provider shown
// at a known place, its border window around it. Windows only.
#include <windows.h>

#include <chrono>

#include "CaptionTestSupport.h"
#include "skin/forms/sFormBorder.h"

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
    HWND Wnd() const { return Form.Form->WindowHandle(); }
    HWND Border() const { return P->BorderWindow(); }
    vcl::TRect M() const { return P->GetShadowMargins(); }
    static vcl::TRect RectOf(HWND W) {
        RECT r{};
        GetWindowRect(W, &r);
        return {r.left, r.top, r.right, r.bottom};
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
