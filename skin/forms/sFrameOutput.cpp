// Between the frame renderer and the window: the rendered frame copied from
// the cache into a window DC, the client area's background, and the small
// utilities the message handlers share.
#include "sSkinProvider.h"

#include <algorithm>

#include "sFrameMetrics.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

void TsSkinProvider::PaintCachedFrame(HDC DC) {
    if (!DC || !Form || !Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    if (FSkinData->BGChanged || !FSkinData->CanUseCache() || CacheStale()) {
        // A background that is not ready yet: the next output tries again.
        if (!RenderFrame()) return;
        FSkinData->Updating = false;
    }
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache || cache->Empty()) return;
    if (BorderForm) {
        // The window's part of the image, where the window lies in it.
        const vcl::TPoint offset = WindowToFrameOffset();
        BitBlt(DC, 0, 0, Form->Width(), Form->Height(), cache->Canvas()->Handle(), offset.X, offset.Y, SRCCOPY);
        return;
    }
    const int side = FrameLeft(true);
    const int frameTop = FrameTop(true);
    int top = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION
                  ? frameTop + GetCaptionHeight(true) + (IsIconic(window) ? 1 : 0)
                  : frameTop;
    if (top == 0 && MenuHasVisibleItems()) top = GetMenuLineCount() * GetMenuLineHeight() + 1;
    // A skinned menu line is part of the top band.
    if (MenuLineBmp && top > 0) top = std::max(top, MenuLineOrigin.Y + MenuLineBmp->Height());
    const int w = cache->Width(), h = cache->Height();
    const HDC src = cache->Canvas()->Handle();
    BitBlt(DC, 0, 0, w, top, src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, top, side, h - top, src, 0, top, SRCCOPY);
    BitBlt(DC, side, h - frameTop, w - side, frameTop, src, side, h - frameTop, SRCCOPY);
    BitBlt(DC, w - side, top, side, h - top, src, w - side, top, SRCCOPY);
}

void TsSkinProvider::PaintClientBackground(HDC DC, bool UpdateChildren) {
    if (!DC || !Form || !Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    const vcl::TRect client{0, 0, ClientWidth(window), ClientHeight(window)};
    const vcl::TPoint offset{GetClientOffsetX(), GetClientOffsetY()};
    // An MDI parent's client area is its client window's, which paints it.
    if ((FSkinData->BGFlags() & bgfParentBackground) && !IsMDIParent()) {
        FillRectSolid(DC, client, GetFormColor());
        // A border image wider than the native frame reaches into the client
        // area of a single-border form, by its margin less the frame width:
        // that part is taken from the frame. (Counted from the frame's excess
        // over the image instead, the strips would copy the cache's empty
        // client area wherever the image is the narrower one.)
        const TsSkinManager *m = FSkinData->GetSkinManager();
        vcl::TBitmap *cache = FSkinData->CacheBmp();
        const int border = FSkinData->BorderIndex();
        if (Form->BorderStyle() == vcl::bsSingle && FDrawNonClientArea && cache && !cache->Empty() && m &&
            m->IsValidMaskIndex(border)) {
            const int frame = GetBorderWidth(window);
            const int l = m->MaskLeftMargin(border) - frame, t = m->MaskTopMargin(border) - frame;
            const int r = m->MaskRightMargin(border) - frame, b = m->MaskBottomMargin(border) - frame;
            const HDC src = cache->Canvas()->Handle();
            const int cw = client.Width(), ch = client.Height();
            if (t > 0) BitBlt(DC, 0, 0, cw, t, src, offset.X, offset.Y, SRCCOPY);
            if (l > 0) BitBlt(DC, 0, 0, l, ch, src, offset.X, offset.Y, SRCCOPY);
            if (r > 0) BitBlt(DC, cw - r, 0, r, ch, src, offset.X + cw - r, offset.Y, SRCCOPY);
            if (b > 0) BitBlt(DC, 0, ch - b, cw, b, src, offset.X, offset.Y + ch - b, SRCCOPY);
        }
    } else {
        const vcl::TGuarded alive(this);
        RenderFrame();
        if (!alive) return;
        if (IsMDIParent()) {
            if (UpdateChildren) PassUpdateDoneToChildren(Form);
            return;
        }
        CopyCacheToDC(Form, *FSkinData, offset, client, DC, false, 0, 0);
    }
    // In both cases: the colour fill would otherwise cover the graphic
    // controls that the form's own painting has put there. Their painting
    // may free this provider.
    const vcl::TGuarded self(this);
    PaintGraphicControls(DC, {0, 0});
    if (self && UpdateChildren) PassUpdateDoneToChildren(Form);
}

bool TsSkinProvider::ExtBordersAllowed() const {
    const TsSkinManager *m = FSkinData ? FSkinData->GetSkinManager() : nullptr;
    return m && m->GetExtendedBorders() && FAllowExtBorders && !NativeFrameMaximized();
}

vcl::TWinControl *FindControlByDlgID(int ID, vcl::TWinControl *Parent) {
    if (!Parent) return nullptr;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        auto *child = dynamic_cast<vcl::TWinControl *>(Parent->Controls(i));
        if (!child) continue;
        // Asking a control without a window for its identifier would make one.
        if (child->HandleAllocated() && GetDlgCtrlID(child->WindowHandle()) == ID) return child;
        if (vcl::TWinControl *found = FindControlByDlgID(ID, child)) return found;
    }
    return nullptr;
}

LRESULT TsSkinProvider::PerformFormProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    vcl::TMessage message{Msg, WParam, LParam, 0};
    FormWndProc(message);
    return message.Result;
}

void TsSkinProvider::PaintGraphicControls(HDC DC, vcl::TPoint Offset) {
    if (Form) PaintChildControls(DC, Form, false, Offset);
}

} // namespace skin
