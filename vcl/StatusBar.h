#pragma once
// A status bar: a superclass of the system's status window, bottom-aligned,
// with panels (text or owner-drawn, each aligned), a simple panel that
// replaces the panels while SimplePanel is set, and an optional size grip.
// Owner-drawn panels are drawn by OnDrawPanel on the bar's canvas.
#include <memory>
#include <string>

#include "Canvas.h"
#include "Collection.h"
#include "Controls.h"

namespace vcl {

class TStatusBar;

VCL_ENUM(TStatusPanelStyle, psText, psOwnerDraw)

class TStatusPanel : public TCollectionItem {
    VCL_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection *Collection);

    std::string Text() const { return FText; }
    void SetText(const std::string &Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

private:
    std::string FText;
    int FWidth = 50;
    TStatusPanelStyle FStyle = psText;
    TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels : public TCollection {
    VCL_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar *Bar);
    TStatusPanel *Items(int Index) const { return static_cast<TStatusPanel *>(TCollection::Items(Index)); }
    TStatusPanel *Add() { return static_cast<TStatusPanel *>(TCollection::Add()); }

protected:
    void Update(TCollectionItem *Item) override;

private:
    TStatusBar *FBar;  // not owned: the bar owns the collection
};

using TDrawPanelEvent = TMethod<void(TStatusBar *StatusBar, TStatusPanel *Panel, const TRect &Rect)>;

class TStatusBar : public TWinControl {
    VCL_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent *AOwner);
    ~TStatusBar() override;

    TStatusPanels *Panels() const { return FPanels.get(); }
    void SetPanels(const TStatusPanels *Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    std::string SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string &Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // The canvas owner-drawn panels are drawn on (the paint's DC while the
    // system asks for a panel).
    TCanvas *Canvas() const { return FCanvas.get(); }

    TDrawPanelEvent OnDrawPanel;

    // The window shows the panels as they are now.
    void UpdatePanels();
    // Panels came, went or changed: the window follows at the next pump
    // (a panel announces itself before it is whole, and after it is gone).
    void PanelsChanged();
    void FlushWindowUpdate() override;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage &Message) override;
    virtual void DrawPanel(TStatusPanel *Panel, const TRect &Rect);

private:
    void DrawItem(TMessage &Message);

    std::unique_ptr<TStatusPanels> FPanels;
    std::unique_ptr<TCanvas> FCanvas;
    std::string FSimpleText;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    bool FPanelsBehind = false;
};

} // namespace vcl
