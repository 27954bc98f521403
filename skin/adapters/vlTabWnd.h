#pragma once
// TvlTabControlWnd: the adapter of a tab control (kind "TabControl", and a
// dialog's "systabcontrol32" without owner-drawn tabs). It paints the page
// frame with a section chosen by the tab position, every tab from the
// skin's tab element in its state (the current one joined to the frame),
// the tab images and captions (turned for vertical tabs), and gives the
// strip's scroll arrows an adapter of their own ("UPDOWNBTN").
//
// TvlPageControlWnd: the same for a page control, plus one TvlPageWnd per
// page window, which paints its page with what the tab control shows
// behind it. A page adapter lives while its page window does: it leaves
// the page list and is freed once the window is gone. Windows only.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "vcl/Types.h"
#include "vlSBUtils.h"
#include "vlTabGeometry.h"

namespace vcl {
class TBitmap;
}

namespace skin {

struct TvlBgInfo;

class TvlTabControlWnd : public TvlMainWnd {
public:
    ~TvlTabControlWnd() override;

    // "PAGECONTROL" when no section was given, then the base's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // After the base's seven: the display area and the page frame, in
    // window coordinates.
    virtual vcl::TRect GetDisplayRect();
    virtual vcl::TRect GetFrameRect();

    TvlTabPosition Position() const;
    TvlTabKind Kind() const;
    int TabCount() const;
    // The skin-wide tab offset of the loaded skin.
    int TabOffset() const;
    // A tab as the skin draws it (window coordinates).
    vcl::TRect TabRect(int Index, bool Active);
    int TabRow(int Index);
    // The section of the page frame for the tab position ("CHECKBOX"
    // without tabs).
    std::string FrameSection() const;
    // The adapter of the strip's scroll arrows made again (or freed when
    // they are gone).
    void UpdateUpDown();
    // The control's image without its current tab (strip, other tabs,
    // frame) in the skin data's cache, when it is stale. False when the
    // owner's drawing of a tab freed the adapter or the control: nothing
    // more is done.
    bool BuildImage();
    // The whole control into the DC of the message (WM_ERASEBKGND, WM_PRINT).
    void PaintTabControl(HDC MessageDC, bool IntoMessageDC);

    std::unique_ptr<TvlWindowAdapter> UpDownAdapter;
    vcl::TSize RecordedSize{};

protected:
    // The skin's commands: true when answered.
    bool TabCommand(vcl::TMessage &Message);
    // The serving manager's skin applied, refreshed or removed: the
    // control's part after the common answer.
    bool AfterCommonAnswer(vcl::TMessage &Message) override;
    // A child's background query answered from the control's image.
    bool AnswerBackground(vcl::TMessage &Message);

private:
    // False as BuildImage.
    bool PaintStrip(vcl::TBitmap &Cache, const TvlBgInfo &Bg);
    // One tab rendered into a bitmap of its rectangle, over Under (the
    // control's image at the tab's place); null also when the owner's
    // drawing freed the adapter or the control (ask Gone).
    std::unique_ptr<vcl::TBitmap> RenderTab(int Index, int State, const vcl::TRect &R, vcl::TBitmap &Under);
    // False as BuildImage.
    bool PaintTabContent(int Index, int State, vcl::TBitmap &Bmp, int SectionIndex);
    // The owner's drawing of a tab (the application's) freed the adapter
    // or its control.
    static bool Gone(const vcl::TGuarded<TvlTabControlWnd> &Alive);
    // The colour the tab images are mixed with (the manager's glyph
    // option), clNone to draw them as they are.
    vcl::TColor TabImageTint(int SectionIndex) const;
    void RedrawArrows();
};

class TvlPageWnd;

class TvlPageControlWnd : public TvlTabControlWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    vcl::TRect GetDisplayRect() override;
    vcl::TRect GetFrameRect() override;

    // Every page window without an adapter gets one.
    void AdaptPages();
};

class TvlPageWnd : public TvlMainWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // The page's client area from the tab control's image; Result 1.
    LRESULT PaintPage(HDC DC);

private:
    // The serving manager's skin applied, refreshed or removed: the
    // page's part after the common answer.
    bool AfterCommonAnswer(vcl::TMessage &Message) override;
};

// The page adapters alive (made by AdaptPages); for the tests and the
// unit's stop, which frees the rest.
std::size_t PageAdapterCount();
void FreePageAdapters();

} // namespace skin
