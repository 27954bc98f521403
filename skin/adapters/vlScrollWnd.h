#pragma once
// TvlScrollWnd: the adapter base of windows that have, or may get, scroll
// bars in their non-client area. It owns the window's two bars, hides them
// from the system while the frame is calculated (the engine of
// vlScrollBars.h lays them out, paints and works them: the bars and the
// frame are its TvlNcBarsWnd part), and answers the
// skin commands of scrolling windows. The form provider gives a form with
// scroll bars one that shares the form's skin data (the adapters' factory
// makes it). TvlBaseWnd is its plain descendant for ordinary scrolling
// controls.
//
// The system draws a control's own bar again whenever the control changes
// its scroll information, without WM_NCPAINT: after the previous procedure
// has run, the skinned bars are painted again for scrolling, wheel, focus
// and client paint messages. Windows only.
#include <windows.h>

#include <memory>

#include "vlScrollBars.h"

namespace skin {

class TvlScrollWnd : public TvlNcBarsWnd, public TvlScrollAdapter {
public:
    TvlScrollWnd();
    ~TvlScrollWnd() override;

    // A TsScrollWndData in Updating state; the frame not yet measured.
    std::unique_ptr<TsCommonData> CreateOwnSkinData(vcl::TObject *Owner) override;
    // The base's construction, then the bars installed (InstallScrollBars).
    void Create(HWND Handle, TsCommonData *SkinData, TsSkinManager *Manager, const TvlSkinParams &Params,
                bool Repaint) override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // TvlScrollAdapter (and the window adapter both bases share).
    HWND AdapterWindow() const override { return Handle; }
    bool Destroyed() const override { return TvlMainWnd::Destroyed(); }
    TvlScrollBarState HorzScrollBar() const override;
    TvlScrollBarState VertScrollBar() const override;
    int LeftFrameWidth() const override { return FrameCalculated ? FrameLeft : -1; }
    void RefreshScrollBars() override;

protected:
    // What the destructor does, for a descendant's destructor that gives
    // the window back with its own RestoreControlColors: the engine lets go
    // of the window, the window is given back and its frame calculated
    // again by the system; a press that ran ends with SB_ENDSCROLL last.
    void ReleaseScrollWindow();
    // The scrolling adapter's own stage without the skinned / not skinned
    // split of descendants: true when it handled the message whole.
    bool ScrollHandler(vcl::TMessage &Message);
    // The window's skin data is skinned (without the active test).
    bool Skinned() const;
    // The skinned bars painted again now (the system drew its own).
    void RepaintBars();

private:
    bool SkinCommand(vcl::TMessage &Message);
    // The manager's hover news as the class library's enter and leave
    // notices, for the skin data's hover steps.
    void MouseCommand(const vcl::TMessage &Message);
    // SC_PARENT_UPDATE_DONE: the deferred picture painted once the parents
    // are ready, and the children asked again.
    void ParentUpdateDone();
    // SC_GET_BG_INFO: the previous procedure's answer, else the control's
    // own picture.
    void BackgroundInfo(vcl::TMessage &Message);
    // The class library would make the window of a hidden, unnamed combo
    // box again (a control made at run time and not shown yet).
    bool IsHiddenUnnamedCombo() const;
};

class TvlBaseWnd : public TvlScrollWnd {
public:
    bool OwnMessage(vcl::TMessage &Message) override;
};

// Bars of the adapter made ready for the window: both scroll infos read,
// the left-bar flag from the extended style, each bar present as the style
// says; with Repaint the frame is calculated again at once.
void InstallScrollBars(TvlScrollWnd &Adapter, HWND Handle, bool Repaint);
// For a visible window that is not paint-locked: both scroll infos read
// again, and with Repaint (and no form animation) the bars painted.
void RefreshScrollBars(TvlScrollWnd &Adapter, bool Repaint);

} // namespace skin
