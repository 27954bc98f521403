// System dialogs skinned from the window-creation hook: message boxes with
// and without an owner, the Open, Save, Colour, Font and Print dialogs;
// the dialogs that stay unskinned; the release of what a dialog had once
// its window is gone, over many dialogs.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../manager/LayeredRecorder.h"
#include "DialogsTestSupport.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

class SystemDialogs : public DialogsFixture {};

// A plain window of no form to own a dialog; destroyed with it.
struct PlainOwner {
    HWND Window = CreateWindowExW(0, L"STATIC", L"Vlastnik", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ~PlainOwner() { DestroyWindow(Window); }
};

// Each look found served, with one dialog provider, no live WS_SYSMENU and
// the skin's frame on the screen as in the cache.
void ExpectSkinned(const DialogLook &L, const std::string &What, vcl::TColor Title = DialogTitle) {
    SCOPED_TRACE(What);
    EXPECT_TRUE(L.Served);
    EXPECT_FALSE(L.SysMenuLive);
    EXPECT_EQ(L.Border, DialogBorder);
    EXPECT_EQ(L.CacheBorder, DialogBorder);
    EXPECT_EQ(L.Caption, Title);
    EXPECT_EQ(L.CacheCaption, Title);
}

std::vector<DialogLook> Visit(const std::function<void()> &Show, const std::string &Picture = {}, DWORD Wait = 300) {
    std::vector<DialogLook> looks;
    int n = 0;
    DialogVisitor visitor(
        [&](HWND W) {
            looks.push_back(LookAt(W));
            if (!Picture.empty()) KeepPicture(W, Picture + (n++ ? "-" + std::to_string(n) : "") + ".png");
        },
        Wait);
    visitor.Run(Show);
    return looks;
}

TEST_F(SystemDialogs, MessageBoxesWithAndWithoutOwnerAreSkinnedAndReleased) {
    auto looks = Visit([] { MessageBoxW(nullptr, L"Bez vlastnika", L"Zprava", MB_OK | MB_ICONINFORMATION); },
                       "dialog-message-box");
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "without owner");
    EXPECT_EQ(looks[0].Providers, 1);
    PlainOwner owner;
    looks = Visit([&] { MessageBoxW(owner.Window, L"S vlastnikem", L"Zprava", MB_OKCANCEL); },
                  "dialog-message-box-owned");
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "with owner");
    EXPECT_EQ(looks[0].Providers, 1);
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(DialogProviderCount(), 0);
    EXPECT_EQ(HookedDialogCount(), 0u);
}

TEST_F(SystemDialogs, ABoxFadesInSkinnedAndOutWhenCancelled) {
    LayeredRecorder recorder;
    Manager->Effects()->AllowAnimation = true;
    Manager->AnimEffects()->DialogShow->Time = 100;
    Manager->AnimEffects()->DialogHide->Time = 100;
    const auto looks = Visit([] { MessageBoxW(nullptr, L"Plynule", L"Zprava", MB_OKCANCEL); });
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "after its show");
    uitest::PumpUntil([] { return LayeredRecorder::Windows().size() >= 2 && (!HideTimer() || !HideTimer()->Window()); },
                      std::chrono::seconds(2));
    const std::vector<HWND> windows = LayeredRecorder::Windows();
    ASSERT_GE(windows.size(), 2u);
    const std::vector<int> shown = LayeredRecorder::AlphasOf(windows.front()), hidden = LayeredRecorder::AlphasOf(windows.back());
    ASSERT_GE(shown.size(), 5u);
    EXPECT_LT(shown.front(), 255);
    EXPECT_EQ(shown.back(), 255);
    ASSERT_GE(hidden.size(), 3u);
    EXPECT_GT(hidden.front(), hidden.back());
}

TEST_F(SystemDialogs, CommonDialogsAreSkinned) {
    OpenFileArgs open;
    auto looks = Visit([&] { GetOpenFileNameW(&open.Ofn); }, "dialog-open", 800);
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "Open", looks[0].CacheCaption);
    looks = Visit([&] { GetSaveFileNameW(&open.Ofn); }, "dialog-save", 800);
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "Save", looks[0].CacheCaption);

    COLORREF custom[16] = {};
    CHOOSECOLORW colour{};
    colour.lStructSize = sizeof colour;
    colour.lpCustColors = custom;
    looks = Visit([&] { ChooseColorW(&colour); }, "dialog-colour");
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "Colour");

    LOGFONTW font{};
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS;
    looks = Visit([&] { ChooseFontW(&choose); }, "dialog-font");
    ASSERT_EQ(looks.size(), 1u);
    ExpectSkinned(looks[0], "Font");

    PRINTDLGW print{};
    print.lStructSize = sizeof print;
    looks = Visit([&] { PrintDlgW(&print); }, "dialog-print");
    // Without a printer the Print dialog first shows a box of its own.
    ASSERT_GE(looks.size(), 1u);
    for (const DialogLook &l : looks) ExpectSkinned(l, "Print and its box");
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(DialogProviderCount(), 0);
}

// The pictures of a dialog's children of one class and style type, each
// read from its own window while the dialog is shown.
std::vector<uitest::TImage32> ChildPictures(HWND Dialog, const char *ClassName, int Type = -1) {
    std::vector<uitest::TImage32> pictures;
    for (HWND child : uitest::ChildWindows(Dialog, ClassName))
        if (IsWindowVisible(child) && (Type < 0 || (GetWindowLongPtrW(child, GWL_STYLE) & 0x1F) == Type))
            pictures.push_back(uitest::CaptureWindow(child));
    return pictures;
}

// The places of a picture's pixels that differ from its top-left one (its
// background): the shapes drawn over it, whatever their edges blend with.
std::vector<int> Drawn(const uitest::TImage32 &P) {
    std::vector<int> drawn;
    const std::uint32_t back = P.Pixels.empty() ? 0 : P.Pixels[0] & 0xFFFFFF;
    for (std::size_t i = 0; i < P.Pixels.size(); ++i)
        if ((P.Pixels[i] & 0xFFFFFF) != back) drawn.push_back(static_cast<int>(i));
    return drawn;
}
int BlackPixels(const uitest::TImage32 &P) {
    return static_cast<int>(std::count_if(P.Pixels.begin(), P.Pixels.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) == 0; }));
}

// A box without an icon keeps an empty icon static: it shows the face (it
// was black); a box with one shows its icon there.
TEST_F(SystemDialogs, AMessageBoxsIconPlaceShowsItsIconOrTheFace) {
    const auto icons = [](UINT Type) {
        std::vector<uitest::TImage32> pictures;
        DialogVisitor v([&](HWND W) { pictures = ChildPictures(W, "Static", SS_ICON); }, 300);
        v.Run([&] { MessageBoxW(nullptr, L"Ikona", L"Zprava", Type); });
        return pictures;
    };
    constexpr std::uint32_t face = 0xD8E4F0;
    const auto faceOnly = [&](const uitest::TImage32 &P) {
        return std::all_of(P.Pixels.begin(), P.Pixels.end(), [&](std::uint32_t p) { return (p & 0xFFFFFF) == face; });
    };
    const auto none = icons(MB_OKCANCEL), information = icons(MB_OK | MB_ICONINFORMATION);
    ASSERT_EQ(none.size(), 1u);
    // The screen's pixels: the text and the OK button reach into the static.
    EXPECT_EQ(BlackPixels(none[0]), 0);
    EXPECT_EQ(none[0].At(0, none[0].Height - 1) & 0xFFFFFF, face);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_FALSE(faceOnly(information[0]));
    EXPECT_EQ(information[0].At(0, 0) & 0xFFFFFF, face);  // the icon's transparent corner
}

TEST_F(SystemDialogs, TheColourPalettesAndTheOpenToolBarsShowAsUnskinned) {
    COLORREF custom[16] = {};
    CHOOSECOLORW colour{};
    colour.lStructSize = sizeof colour;
    colour.lpCustColors = custom;
    OpenFileArgs open;
    const auto pictures = [&](bool Skinned) {
        Manager->SetActive(Skinned);
        std::vector<uitest::TImage32> palettes, bars;
        Visit([&] { ChooseColorW(&colour); });
        DialogVisitor v([&](HWND W) { palettes = ChildPictures(W, "Static", SS_SIMPLE); }, 300);
        v.Run([&] { ChooseColorW(&colour); });
        DialogVisitor o([&](HWND W) { bars = ChildPictures(W, "ToolbarWindow32"); }, 800);
        o.Run([&] { GetOpenFileNameW(&open.Ofn); });
        return std::make_pair(palettes, bars);
    };
    const auto plain = pictures(false), skinned = pictures(true);
    ASSERT_FALSE(plain.first.empty());
    ASSERT_EQ(plain.first.size(), skinned.first.size());
    for (std::size_t i = 0; i < plain.first.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plain.first[i].Pixels, skinned.first[i].Pixels);
    }
    // A tool bar that looks through to the dialog's face shows the same
    // glyphs on the skin's face (their edges blend with it); none goes black.
    ASSERT_FALSE(plain.second.empty());
    ASSERT_EQ(plain.second.size(), skinned.second.size());
    for (std::size_t i = 0; i < plain.second.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Drawn(plain.second[i]), Drawn(skinned.second[i]));
        EXPECT_EQ(BlackPixels(skinned.second[i]), BlackPixels(plain.second[i]));
    }
    EXPECT_TRUE(std::any_of(skinned.second.begin(), skinned.second.end(),
                            [](const uitest::TImage32 &P) { return (P.Pixels[0] & 0xFFFFFF) == 0xD8E4F0u; }))
        << "no tool bar shows the dialog's face";
}

// The test skin has no "CHECKBOX" section, no check images and no grip
// image: the Open dialog's read-only box and size grip show the dialog's
// face (they were black), the box its text and the system's glyph of its
// state.
TEST_F(SystemDialogs, WhatTheSkinLacksOfABoxOrAGripShowsTheDialogsFace) {
    OpenFileArgs open;
    uitest::TImage32 unchecked, checked, grip;
    DialogVisitor v(
        [&](HWND W) {
            for (HWND c : uitest::ChildWindows(W, "Button"))
                if (IsWindowVisible(c) && (GetWindowLongPtrW(c, GWL_STYLE) & 0x0F) == BS_AUTOCHECKBOX) {
                    unchecked = uitest::CaptureWindow(c);
                    SendMessageW(c, BM_SETCHECK, BST_CHECKED, 0);
                    checked = uitest::CaptureWindow(c);
                }
            for (HWND c : uitest::ChildWindows(W, "ScrollBar"))
                if (GetWindowLongPtrW(c, GWL_STYLE) & SBS_SIZEGRIP) grip = uitest::CaptureWindow(c);
        },
        800);
    v.Run([&] { GetOpenFileNameW(&open.Ofn); });

    constexpr std::uint32_t face = 0xD8E4F0;
    const auto notFace = [&](const uitest::TImage32 &P, int From, int To) {
        int n = 0;
        for (int y = 0; y < P.Height; ++y)
            for (int x = From; x < To; ++x) n += (P.At(x, y) & 0xFFFFFF) != face;
        return n;
    };
    ASSERT_GT(grip.Width, 0);
    EXPECT_EQ(notFace(grip, 0, grip.Width), 0);

    ASSERT_GT(unchecked.Width, 40);
    EXPECT_EQ(unchecked.At(unchecked.Width - 1, unchecked.Height / 2) & 0xFFFFFF, face);
    EXPECT_GT(notFace(unchecked, 0, 16), 40) << "no glyph";
    EXPECT_GT(notFace(unchecked, 20, unchecked.Width), 40) << "no text";
    EXPECT_LT(BlackPixels(unchecked), unchecked.Width * unchecked.Height / 4);
    // The check mark shows inside the glyph box only.
    ASSERT_EQ(checked.Pixels.size(), unchecked.Pixels.size());
    int inBox = 0, outside = 0;
    for (int y = 0; y < checked.Height; ++y)
        for (int x = 0; x < checked.Width; ++x)
            if (checked.At(x, y) != unchecked.At(x, y)) ++(x < 16 ? inBox : outside);
    EXPECT_GT(inBox, 5);
    EXPECT_EQ(outside, 0);
}

TEST_F(SystemDialogs, TheRulesAndTheManagersEventMayRefuse) {
    Manager->SetSkinningRules({srStdForms});
    auto looks = Visit([] { MessageBoxW(nullptr, L"Ne", L"Pravidla", MB_OK); });
    ASSERT_EQ(looks.size(), 1u);
    EXPECT_FALSE(looks[0].Served);
    EXPECT_TRUE(looks[0].SysMenuLive);
    Manager->SetSkinningRules({srStdForms, srStdDialogs});

    struct Refuser {
        std::vector<HWND> Asked;
        void Ask(HWND Window, bool &Allow) {
            Asked.push_back(Window);
            Allow = false;
        }
    } refuser;
    Manager->OnSysDlgInit = TvlSysDlgInitEvent::Bind<&Refuser::Ask>(&refuser);
    looks = Visit([] { MessageBoxW(nullptr, L"Ne", L"Udalost", MB_OK); });
    Manager->OnSysDlgInit = {};
    ASSERT_EQ(looks.size(), 1u);
    EXPECT_FALSE(looks[0].Served);
    ASSERT_FALSE(refuser.Asked.empty());
    EXPECT_EQ(refuser.Asked.front(), looks[0].Window);
    EXPECT_EQ(HookedDialogCount(), 0u);
}

TEST_F(SystemDialogs, AThirdVisibleDialogNeedsAToolBarAndAChildDialogIsNoneOfOurs) {
    OwnDialog first(FixedDialog(L"Prvni")), second(FixedDialog(L"Druhy"));
    ASSERT_TRUE(Served(first.Window) && Served(second.Window));
    EXPECT_EQ(CountVisibleHookedDialogs(), 2);
    OwnDialog third(FixedDialog(L"Treti"));
    EXPECT_FALSE(Served(third.Window));
    EXPECT_TRUE(LiveSysMenu(third.Window));
    DialogTemplate withBar = FixedDialog(L"S listou");
    withBar.Item(L"ToolbarWindow32", L"", 100, 0, 0, 0, 100, 20);
    InitCommonControls();
    OwnDialog fourth(withBar);
    EXPECT_TRUE(Served(fourth.Window));  // at its activation, when its tool bar exists

    // A second activation of a served dialog makes nothing new.
    const int providers = DialogProviderCount();
    AttachSkinToWindow(first.Window);
    EXPECT_EQ(DialogProviderCount(), providers);

    PlainOwner parent;
    DialogTemplate child(WS_CHILD | WS_VISIBLE | WS_CAPTION, 100, 50, L"Vnoreny");
    OwnDialog inside(child, parent.Window);
    EXPECT_FALSE(Served(inside.Window));
}

TEST_F(SystemDialogs, AtCreationADialogNamedByTextNeedsBothStylesAndNoOwnerOneNamedByAtomNeither) {
    PlainOwner owner;
    const struct {
        const wchar_t *Class;
        DWORD ExStyle;
        HWND Owner;
        bool Served;
    } cases[] = {
        {L"#32770", WS_EX_DLGMODALFRAME, nullptr, true},
        {L"#32770", 0, nullptr, false},
        {L"#32770", WS_EX_DLGMODALFRAME, owner.Window, false},
        {MAKEINTATOM(0x8002), 0, nullptr, true},
    };
    for (const auto &c : cases) {
        // Hidden: no activation that could skin it later. Without a caption:
        // the system would add WS_EX_WINDOWEDGE to a caption's window.
        const HWND w = CreateWindowExW(c.ExStyle, c.Class, L"Novy", WS_POPUP | WS_BORDER, 60, 60, 200, 100, c.Owner,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(Served(w), c.Served) << (IS_INTRESOURCE(c.Class) ? "atom" : "text") << " ex " << c.ExStyle;
        DestroyWindow(w);
    }
}

TEST_F(SystemDialogs, CountsStayFlatOverAThousandBoxesAndAHundredOfEachDialog) {
    const auto box = [] {
        DialogVisitor v(nullptr, 0);
        v.Run([] { MessageBoxW(nullptr, L"Mnoho", L"Zprava", MB_OK); });
    };
    box();
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) box();
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(HookedDialogCount(), 0u);

    COLORREF custom[16] = {};
    CHOOSECOLORW colour{};
    colour.lStructSize = sizeof colour;
    colour.lpCustColors = custom;
    OpenFileArgs open;
    LOGFONTW font{};
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS;
    PRINTDLGW print{};
    print.lStructSize = sizeof print;
    const std::vector<std::pair<const char *, std::function<void()>>> dialogs = {
        {"Open", [&] { GetOpenFileNameW(&open.Ofn); }},
        {"Save", [&] { GetSaveFileNameW(&open.Ofn); }},
        {"Colour", [&] { ChooseColorW(&colour); }},
        {"Font", [&] { ChooseFontW(&choose); }},
        {"Print", [&] { PrintDlgW(&print); }},
    };
    for (const auto &[name, show] : dialogs) {
        SCOPED_TRACE(name);
        const auto once = [&] {
            DialogVisitor v(nullptr, 0);
            v.Run(show);
        };
        once();
        uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
        before = vcl::LiveHandles();
        for (int i = 0; i < 100; ++i) once();
        uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
        EXPECT_EQ(vcl::LiveHandles(), before);
        EXPECT_EQ(HookedDialogCount(), 0u);
    }
}

} // namespace
} // namespace skin
