#pragma once
// TvlListViewWnd: the adapter of a list view (the "ListView" kind and bare
// "SysListView32" windows). Frame and bars as the edit adapter's, its
// colours through the list-view messages (its own come back when the skin
// goes), thumb scrolling by LVM_SCROLL, and in report view its column
// header subclassed and painted from the skin with hot and pressed columns
// and sort arrows. Windows only.
#include <windows.h>

#include "vlEditWnd.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TvlListViewWnd : public TvlEditWnd {
public:
    ~TvlListViewWnd() override;
    void SetDefaultSection() override;
    void SaveControlColors() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // Report view (the only one whose header the adapter paints).
    bool ReportView() const;
    // The column under a point of the header (header coordinates); -2 none.
    int ColumnAt(POINT P) const;
    // One header item (or the empty rest, Item -2) into DC at R.
    void PaintHeaderItem(HDC DC, int Item, const RECT &R);
    void PaintHeader(HDC DC);
    // An item's image, caption and sort arrow over its background in Bmp.
    void PaintHeaderContent(vcl::TBitmap &Bmp, int Item, int State, int Section);

    HWND HeaderWnd = nullptr;
    WNDPROC HeaderOldProc = nullptr;
    int PressedColumn = -1;
    int HotColumn = -1;
    // The list's own colours, read before the skin's first apply.
    COLORREF OwnBkColor = 0, OwnTextBkColor = 0, OwnTextColor = 0;
    bool OwnColorsRead = false;

    // The header's procedure, shared by every adapter (the adapter is in a
    // window property; a header whose adapter let go forwards to its old
    // procedure).
    static LRESULT CALLBACK HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

private:
    void HookHeader(HWND Header);
    void UnhookHeader();
    LRESULT HeaderMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    bool ThumbTrack(vcl::TMessage &Message, bool Vertical);
    // WM_PRINT: the whole window in the list's colour first, and after the
    // list printed itself the skinned header over its client.
    void PrintBackground(HDC DC);
    void PrintHeader(HDC DC);
};

// A tree view (the "TreeView" kind and bare "SysTreeView32" windows): its
// colours through the tree-view messages, its background filled in the
// section's colour.
class TvlTreeViewWnd : public TvlEditWnd {
public:
    ~TvlTreeViewWnd() override;
    void SaveControlColors() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    COLORREF OwnBkColor = 0, OwnTextColor = 0;
    bool OwnColorsRead = false;
    // WM_ERASEBKGND goes to the edit adapter's handler (never set here).
    bool EraseByEdit = false;

private:
    // The background in the colour of the tree's state, unless the tree's
    // owner draws its own (an assigned "OnCustomDraw").
    void FillBackground(vcl::TMessage &Message);
    bool PaintsOwnBackground() const;
    vcl::TColor BackgroundColor() const;
};

} // namespace skin
