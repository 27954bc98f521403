#pragma once
// Tab controls over the system's tab window: TTabControl (a row of tabs
// named by a string list, optionally drawn by OnDrawTab) and TPageControl,
// whose tabs are its TTabSheet pages, the active one shown in the display
// area.
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Controls.h"
#include "StringList.h"

namespace vcl {

class TCustomTabControl;

VCL_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)

using TDrawTabEvent = TMethod<void(TCustomTabControl *Control, int TabIndex, const TRect &Rect, bool Active)>;

class TCustomTabControl : public TWinControl {
    VCL_CLASS(TCustomTabControl, TWinControl)
public:
    explicit TCustomTabControl(TComponent *AOwner);
    ~TCustomTabControl() override;

    // -1: none.
    int TabIndex() const;
    void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // The canvas OnDrawTab draws on (the paint's DC while a tab is drawn).
    TCanvas *Canvas() const { return FCanvas.get(); }
    // The area inside the frame, in client coordinates.
    TRect DisplayRect();
    int TabCount() const { return static_cast<int>(FCaptions.size()); }

    TDrawTabEvent OnDrawTab;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage &Message) override;
    virtual void Change();
    // The tabs shown: the window follows the captions.
    void SetCaptions(const std::vector<std::string> &Captions);

private:
    void DrawItem(TMessage &Message);
    void SyncTabs();

    std::vector<std::string> FCaptions;
    std::unique_ptr<TCanvas> FCanvas;
    int FTabIndex = -1;  // kept while there is no window
    TTabPosition FTabPosition = tpTop;
    bool FOwnerDraw = false;
};

class TTabControl : public TCustomTabControl {
    VCL_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent *AOwner);
    ~TTabControl() override;

    TStringList *Tabs() const { return FTabs.get(); }
    void SetTabs(const TStrings *Value) { FTabs->Assign(Value); }

private:
    void TabsChanged(TObject *Sender);
    std::unique_ptr<TStringList> FTabs;
};

class TPageControl;

class TTabSheet : public TWinControl {
    VCL_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent *AOwner);
    ~TTabSheet() override;

    TPageControl *PageControl() const { return FPageControl; }
    // The sheet becomes a page of Value (its parent), or of none.
    void SetPageControl(TPageControl *Value);
    int PageIndex() const;

protected:
    bool ErasesItself() const override { return true; }
    void WndProc(TMessage &Message) override;

private:
    friend class TPageControl;
    TPageControl *FPageControl = nullptr;  // not owned
};

class TPageControl : public TCustomTabControl {
    VCL_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent *AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet *Pages(int Index) const;
    TTabSheet *ActivePage() const;
    void SetActivePage(TTabSheet *Value);
    // Puts every page over the display area and shows the active one only;
    // false when the application's code that runs meanwhile freed the control.
    bool LayoutPages();

protected:
    void Change() override;
    void WndProc(TMessage &Message) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet *Page);
    void RemovePage(TTabSheet *Page);
    void PagesChanged();

    std::vector<TTabSheet *> FPages;  // not owned: the sheets' owners own them
};

} // namespace vcl
