#pragma once
// The adapters of windows that hold other windows or draw their own
// content, so that only their background, frame or size grip comes from
// the skin: size grips (TvlSizerWnd), nested dialog panes (TvlTransPanelWnd),
// the common controls' and the shell's container windows (TvlContainerWnd),
// search boxes (TvlSearchWnd), the class library's scroll boxes
// (TvlScrollBoxWnd) and controls that paint their content themselves
// (TvlNativePaint). Each builds its skinned image in its skin data's cache
// when the background changed, then copies the whole image, its client
// part or only its frame strips to the window. Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vlSBUtils.h"
#include "vlScrollWnd.h"

namespace skin {

class TvlSizerWnd : public TvlMainWnd {
public:
    // "CHECKBOX" when no section was given, then the base's.
    void SetDefaultSection() override;
    // What lies behind with the skin's grip in the bottom-right corner; the
    // whole grip answers HTBOTTOMRIGHT.
    bool OwnMessage(vcl::TMessage &Message) override;

private:
    void Paint();
};

class TvlTransPanelWnd : public TvlMainWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // The whole window from the cache into DC (null: the window's DC).
    void PaintPane(HDC DC);
};

class TvlContainerWnd : public TvlMainWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The cache rebuilt when the background changed; false when the
    // parent's answer about what lies behind freed the adapter.
    bool Prepare();
    // The client part of the cache, made opaque, into DC at 0, 0.
    void PaintClient(HDC DC);
    // A progress bar paints its own client part: the adapter only its frame.
    // The frame strips are painted for any window with a frame (a progress
    // bar's is the system's static edge); a frameless window's WM_NCPAINT
    // is consumed.
    bool PaintsOwnClient() const;

    vcl::TRect ClientRectangle{};
    int FrameWidth = 0;

private:
    void NcPaint(vcl::TMessage &Message);
};

class TvlSearchWnd : public TvlMainWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // A 3 px frame from the cache; the content paints itself.
    void PaintFrame();

    vcl::TRect ClientRectangle{};
};

class TvlScrollBoxWnd : public TvlScrollWnd {
public:
    ~TvlScrollBoxWnd() override;
    // "PANEL_LOW" when no section was given, then the base's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The cache: what lies behind and the section.
    bool RebuildCache();
    // The frame: skinned scroll bars and the 2 px strips (null: the
    // window's DC, while the window shows and takes paint).
    void PaintFrame(HDC DC);
    void PaintClient(HDC DC);

protected:
    // The client area's place in a printed DC.
    vcl::TPoint ClientOrigin();
    // The owner control takes children and the skin data is skinned.
    bool ServesContainer() const;
    bool ScrollBoxCommand(vcl::TMessage &Message);
    // The scrolling handler; a WM_WINDOWPOSCHANGING is followed by WM_NCPAINT.
    bool ScrollRoute(vcl::TMessage &Message);
    // The box's part of SC_SKIN_REMOVED and SC_SKIN_REFRESH after the common answer.
    bool AfterCommonAnswer(vcl::TMessage &Message) override;

private:
    // The window shows and its DC takes paint (the bars' infos read again).
    bool FramePaintable();
};

class TvlNativePaint : public TvlScrollBoxWnd {
public:
    // "TRANSPARENT" when no section was given, then the scroll box's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
};

// Reports Window as hovered to the default manager when there is one, it
// is not being designed and the window is enabled.
void ReportHover(HWND Window);

} // namespace skin
