// The merged menu line of an MDI parent whose child (with a menu of its
// own) is maximized: the skinned line (its band, the items of both menus by
// their painter, the child's three buttons, shown on the window) beside the
// system drawing the same merged bar of an unskinned parent, in one run
// under Wine. The goal is at most 1.5 times the system's bar. A second row
// paints the line as after a change of the child or its icon, with the
// icon drawn anew rather than copied as it came out the last time.
//
//   MDIMenuLineBench.exe <packed skin> [rounds]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/SkinnedBench.h"
#include "bench/WineTiming.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Menus.h"

// The system's own painting of a menu bar into a DC; user32 exports it, the
// headers do not declare it.
extern "C" DWORD WINAPI DrawMenuBarTemp(HWND Window, HDC DC, LPRECT Rect, HMENU Menu, HFONT Font);

namespace {

vcl::TMainMenu *MenuOf(vcl::TForm *Form, std::initializer_list<std::pair<const char *, int>> Items) {
    auto *menu = vcl::Create<vcl::TMainMenu>(Form);
    for (const auto &[caption, group] : Items) {
        auto *top = vcl::Create<vcl::TMenuItem>(Form);
        top->SetCaption(caption);
        top->SetGroupIndex(group);
        auto *sub = vcl::Create<vcl::TMenuItem>(Form);
        sub->SetCaption(std::string("Item of ") + caption);
        top->Add(sub);
        menu->Items()->Add(top);
    }
    Form->SetMenu(menu);
    return menu;
}

// An MDI parent with a menu of three groups and a maximized child whose
// menu merges into it; a provider on both, or on neither.
vcl::TForm *MDIApplication(bool Skinned, int Top) {
    auto *parent = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    parent->SetFormStyle(vcl::fsMDIForm);
    parent->SetBounds(20, Top, 640, 400);
    MenuOf(parent, {{"&File", 0}, {"&Window", 5}, {"&Help", 9}});
    if (Skinned) vcl::Create<skin::TsSkinProvider>(parent);
    parent->Show();
    auto *child = vcl::Create<vcl::TForm>(parent, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    MenuOf(child, {{"&File", 0}, {"&Edit", 3}});
    if (Skinned) vcl::Create<skin::TsSkinProvider>(child);
    child->Show();
    vcl::Application->ProcessMessages();
    SendMessageW(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    vcl::Application->ProcessMessages();
    return parent;
}

// The top line of a bar as the system holds it (with a maximized child's
// icon and buttons), apart from the window that owns it; the icon's picture
// is copied into Pictures.
HMENU CopyBar(HMENU Bar, std::vector<vcl::TBitmapHandle> &Pictures) {
    const HMENU copy = CreateMenu();
    for (int i = 0; i < GetMenuItemCount(Bar); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP | MIIM_DATA | MIIM_ID | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 127;
        GetMenuItemInfoW(Bar, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_BITMAP) {
            // The system's own pictures (HBMMENU_*) are small numbers.
            if (reinterpret_cast<UINT_PTR>(info.hbmpItem) > 16) {
                Pictures.emplace_back(static_cast<HBITMAP>(CopyImage(info.hbmpItem, IMAGE_BITMAP, 0, 0, 0)));
                info.hbmpItem = Pictures.back().Get();
            }
            info.fType &= ~MFT_BITMAP;
            info.fMask &= ~MIIM_STRING;
        }
        InsertMenuItemW(copy, static_cast<UINT>(i), TRUE, &info);
    }
    return copy;
}

skin::TsSkinProvider *ProviderOf(vcl::TForm *Form) {
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto *p = dynamic_cast<skin::TsSkinProvider *>(Form->Components(i))) return p;
    return nullptr;
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "MDIMenuLineBench", 300, args)) return 2;
    skin::TsSkinManager *manager = bench::StartSkinnedBench(args);
    if (!manager) return 1;

    vcl::TForm *plain = MDIApplication(false, 20);
    const HWND pw = plain->Handle();
    MENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    GetMenuBarInfo(pw, OBJID_MENU, 0, &bar);
    RECT frame{};
    GetWindowRect(pw, &frame);
    RECT barRect{bar.rcBar.left - frame.left, bar.rcBar.top - frame.top, bar.rcBar.right - frame.left,
                 bar.rcBar.bottom - frame.top};
    const int barItems = GetMenuItemCount(GetMenu(pw));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const vcl::TFontHandle menuFont(CreateFontIndirectW(&metrics.lfMenuFont));
    // The class library has one MDI parent at a time: the system's bar is
    // drawn from a copy, beside the skinned line, in turns.
    std::vector<vcl::TBitmapHandle> pictures;
    const HMENU plainBar = CopyBar(GetMenu(pw), pictures);
    delete plain;
    vcl::Application->ProcessMessages();

    vcl::TForm *skinned = MDIApplication(true, 20);
    skin::TsSkinProvider *provider = ProviderOf(skinned);
    const HWND sw = skinned->Handle();
    vcl::TBitmap *cache = provider ? provider->SkinData()->CacheBmp() : nullptr;
    if (!provider || !cache || cache->Empty() || !provider->MenuLinePainted()) {
        std::fprintf(stderr, "the skinned parent paints no menu line\n");
        return 1;
    }
    // What is timed must be the whole line: the child's buttons and the
    // items of both menus drawn over the band.
    provider->MenuLineCount = -1;
    provider->PaintMenuLine(*cache, 0);
    GdiFlush();
    const auto painted = [](const vcl::TMainMenu *Menu) {
        const vcl::TMenuItem *item = Menu ? Menu->Items()->Items(0) : nullptr;
        return item && item->OnAdvancedDrawItem && item->OnMeasureItem;
    };
    if (!provider->MDIButtonsShown() || !painted(skinned->Menu()) || !painted(skinned->Menu()->Merged())) {
        std::fprintf(stderr, "the skinned line lacks the child's buttons or the merged items\n");
        return 1;
    }
    std::vector<double> system, line, cold;
    {
        const vcl::TWindowDC dc(sw, GetWindowDC(sw));
        // The whole line, laid out again each time as a change of the
        // active child makes it.
        const auto paintLine = [&] {
            const double t0 = bench::NowMs();
            provider->MenuLineCount = -1;
            provider->PaintMenuLine(*cache, 0);
            provider->PlaceMDIButtons();
            for (const skin::TsCaptionButton *b : {&provider->MDIClose, &provider->MDINorm, &provider->MDIMin})
                provider->DrawMDIButton(*b);
            const int top = provider->MenuLineTop();
            const int height = provider->GetMenuLineCount() * provider->GetMenuLineHeight() + 1;
            BitBlt(dc.Get(), 0, top, cache->Width(), height, cache->Canvas()->Handle(), 0, top, SRCCOPY);
            GdiFlush();
            return bench::NowMs() - t0;
        };
        for (int round = 0; round < args.Rounds + 1; ++round) {
            // Alternating, so that all see the same machine.
            const double s0 = bench::NowMs();
            DrawMenuBarTemp(sw, dc.Get(), &barRect, plainBar, menuFont.Get());
            GdiFlush();
            if (round > 0) system.push_back(bench::NowMs() - s0);  // the first warms up
            // A repaint with nothing changed keeps the child's icon as it
            // came out last time; after a change (another child, another
            // icon, another band) it is drawn anew.
            const double warm = paintLine();
            provider->LineIcon.Icon = nullptr;
            const double fresh = paintLine();
            if (round > 0) line.push_back(warm), cold.push_back(fresh);
        }
    }
    const double s = bench::Median(system), l = bench::Median(line), c = bench::Median(cold);
    std::printf("%d rounds, a %ld-pixel bar of %d items\n", args.Rounds, barRect.right - barRect.left, barItems);
    std::printf("%-26s median %7.3f ms\n", "system's merged bar", s);
    std::printf("%-26s median %7.3f ms   ratio %.2f (goal: at most 1.5)\n", "skinned merged line", l, l / s);
    std::printf("%-26s median %7.3f ms   ratio %.2f\n", "  its icon drawn anew", c, c / s);
    std::printf("%d items in the system's bar drawn\n", GetMenuItemCount(plainBar));
    DestroyMenu(plainBar);
    delete skinned;
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
