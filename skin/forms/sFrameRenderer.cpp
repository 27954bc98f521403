// The frame renderer: the whole skinned frame of a form painted into the
// cache bitmap of its skin data (background and border, caption band with
// icon and text, the caption buttons), the size grip, and a copy of the
// cache with the form's controls painted in. Nothing here reaches the
// screen: the non-client output copies from the cache.
#include "sSkinProvider.h"

#include <algorithm>
#include <vector>

#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "vlBorderImage.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlControlBorder.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/ControlCanvas.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

// A corner image drawn as a glyph at one corner of R.
void DrawCorner(vcl::TBitmap &Image, const TsSkinManager &M, int MaskIndex, int State, const vcl::TRect &R,
                bool Right, bool Bottom, const TvlBgInfo &Bg) {
    if (!M.IsValidMaskIndex(MaskIndex)) return;
    const TsMaskData &mask = M.Masks[static_cast<std::size_t>(MaskIndex)];
    const vcl::TPoint at{Right ? R.Right - GetMaskFrameWidth(mask) : R.Left,
                         Bottom ? R.Bottom - GetMaskFrameHeight(mask) : R.Top};
    DrawSkinGlyph(Image, at, State, gmNormal, mask, Bg);
}

} // namespace

bool TsSkinProvider::RenderFrame() {
    if (!Form || Form->FormState().Contains(vcl::fsCreating) || (StateFlags & (pfBlendOnMoving | pfSnapshotTaken)) ||
        FSkinData->SkinIndex() < 0)
        return true;
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m) return true;
    const int width = CacheWidth();
    const int height = CacheHeight();
    if (!FSkinData->CacheBmp()) {
        FSkinData->PrepareCache();
        FSkinData->CacheBmp()->SetSize(width, height);
        FSkinData->UpdateTransparency(false);
        if (!ProviderLoading())
            BroadcastToChildControls(Form, {SM_SKINCOMMAND, SkinCommand(SC_QUERY_BG_FLAGS, 1), 0, 0});
    }
    // A maximized child that is being shown changes the parent's frame
    // again at once: the frame changed meanwhile is not rendered half-way.
    if (FrameChanged && IsMDIParent())
        if (const vcl::TCustomForm *child = Form->ActiveMDIChild();
            child && child->FormState().Contains(vcl::fsShowing) && ActiveChildMaximized(Form))
            return true;
    vcl::TBitmap &image = *FSkinData->CacheBmp();
    // A cache of another size is as stale as one marked so.
    if (FSkinData->BGChanged || image.Width() != width || image.Height() != height) {
        UpdateButtonsLayout();
        image.SetSize(width, height);
        if (m->IsValidSectionIndex(FSkinData->SkinIndex())) {
            const TsGeneralData &section = m->Sections[static_cast<std::size_t>(FSkinData->SkinIndex())];
            TvlFrameRender render;
            render.Image = &image;
            const vcl::TRect margins = GetShadowMargins();
            render.FrameRect = {margins.Left, margins.Top, width - margins.Right, height - margins.Bottom};
            render.State = std::max(0, std::min<int>(FormActive, section.States - 1));
            // What lies behind the frame: nothing for a form of its own, the
            // parent's answer for a form placed in a control.
            if (vcl::TWinControl *parent = Form->Parent()) {
                TvlBgQuery query;
                query.X = Form->Left();
                query.Y = Form->Top();
                if (!QueryParentBackground(query, parent, false, TvlAsker(this, Form, FSkinData.get()))) return false;
                if (query.Kind == bqNoImage) {
                    FSkinData->PaintLocked = true;
                    return false;
                }
                BgQueryToBgInfo(query, render.Bg);
            }
            const vcl::TRect &frame = render.FrameRect;
            // The skin's border image draws the frame's edges and caption band.
            const bool maskMode = BorderMaskMode();
            if ((FSkinData->BGFlags() & bgfParentBackground) && BorderForm) {
                // Nothing lies behind a layered border: the frame is the form's colour, opaque.
                FillRectAlpha(image, frame, vcl::ColorToRGB(GetFormColor()), 255);
                if (!maskMode && m->IsValidMaskIndex(FSkinData->BorderIndex())) {
                    vcl::TRect inner;
                    if (!PaintControlBorder(image.Canvas()->Handle(), frame, FrameLeft(true), *FSkinData, render.State, inner,
                                            TvlAsker(this, Form, FSkinData.get())))
                        return false;
                }
            } else if (FSkinData->BGFlags() & bgfParentBackground) {
                // The section looks through to what is behind: the caption
                // band in the form's colour, the border mask around it.
                const int band =
                    GetCaptionHeight(true) + FrameLeft(true) + GetMenuLineCount() * GetMenuLineHeight() + 1;
                FillRectSolid(image.Canvas()->Handle(), {0, 0, width, band}, GetFormColor());
                vcl::TRect inner;
                if (!PaintControlBorder(image.Canvas()->Handle(), frame, FrameLeft(true), *FSkinData, render.State, inner,
                                        TvlAsker(this, Form, FSkinData.get())))
                    return false;
            } else if ((!HasFrame() && !Form->Parent()) || maskMode) {
                // Under the border mask the manager's mask is the frame's
                // edge, framed form or not: the section's own border mask
                // would draw a second edge beneath it.
                PaintSectionBackground(FSkinData->SkinIndex(), render.Bg, render.State, frame, vcl::TPoint{frame.Left, frame.Top}, image, m,
                                       FSkinData->PatternIndex(), FSkinData->HotPatternIndex(), vcl::clFuchsia);
                DrawCorner(image, *m, section.ImgTopLeft, render.State, frame, false, false, render.Bg);
                DrawCorner(image, *m, section.ImgTopRight, render.State, frame, true, false, render.Bg);
                DrawCorner(image, *m, section.ImgBottomLeft, render.State, frame, false, true, render.Bg);
                DrawCorner(image, *m, section.ImgBottomRight, render.State, frame, true, true, render.Bg);
            } else {
                PaintControlSkin(*FSkinData, render.Bg, render.State, frame, {0, 0}, image, Form->Parent() != nullptr);
            }
            if (GripVisible() && FSkinData->CanUseCache()) {
                // Cleared first: the grip asks the form for its background,
                // which must not start this render again.
                FSkinData->BGChanged = false;
                if (!PaintSizeGrip(image.Canvas()->Handle())) return false;
            }
            // From here on the frame itself is what lies behind each piece:
            // from its origin, for the caption, the menu line and the MDI
            // area are painted in the frame's own coordinates (the client
            // offset would give each piece the background beside it).
            InitBgInfo(&image, 0, 0, render.Bg);
            if (!maskMode) PaintCaption(render);
            // The caption text goes over the menu line: its glow may reach it.
            // The line's items are drawn by the application's handlers, which
            // may free this provider: nothing is rendered then.
            const vcl::TGuarded self(this);
            PaintMenuLine(image, 0);
            if (!self) return false;
            if (BorderForm && !maskMode) PaintCaptionText(render);
            if (MDIHelper) PaintMDIArea(image, render.Bg);
            // The border image goes over the frame, the caption and its text
            // over that; or the shadow around the frame. The buttons come
            // last, over either, made opaque where they drew; the strip kept
            // behind them holds the shadow beside them, as the border shows it.
            std::vector<std::uint32_t> masked;
            if (maskMode) {
                PaintBorderMaskOver(image, frame, masked);
                PaintCaption(render);
                PaintCaptionText(render);
            } else if (BorderForm) {
                PaintBorderShadow(image, frame);
            } else {
                PaintCaptionText(render);
            }
            if (GetCaptionHeight(true) != 0 && FDrawNonClientArea) {
                if (BorderForm && !maskMode) masked = PixelsOf(image.View());
                SaveButtonsArea(frame.Top, width);
                PaintBorderIcons(width);
            }
            if (BorderForm) {
                GdiFlush();  // what GDI drew is in the pixels compared
                MakeChangedOpaque(image.View(), frame, masked);
            }
            if (BorderForm) BorderImageNew = true;
        }
        FrameChanged = false;
        FSkinData->BGChanged = false;
        const vcl::TPoint client{GetClientOffsetX(), GetClientOffsetY()};
        if (Form->OnPaint && FSkinData->CanUseCache()) {
            // The form's own painting lands in the cache, at the client
            // area. It may free this provider: nothing is rendered then.
            const vcl::TGuarded alive(this);
            {
                const HDC dc = image.Canvas()->Handle();
                const vcl::TSavedDC saved(dc);
                SetViewportOrgEx(dc, client.X, client.Y, nullptr);
                const vcl::TCanvasDCScope lent(Form->Canvas(), dc);
                Form->OnPaint(Form);
            }
            if (!alive) return false;
        }
        FSkinData->PaintChildOuterEffects(Form, client);
        FrameRendered = true;
        FSkinData->BGChanged = false;
    }
    FSkinData->PaintLocked = false;
    return true;
}

void TsSkinProvider::PaintMDIArea(vcl::TBitmap &Image, const TvlBgInfo &Bg) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    const int section = m ? m->FindSectionIndex("MDIAREA") : -1;
    if (section < 0 || !Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    // The client area in the image, less the controls aligned to its sides:
    // what remains is the client window's.
    vcl::TRect area{GetClientOffsetX(), GetClientOffsetY(), 0, 0};
    area.Right = area.Left + ClientWidth(window);
    area.Bottom = area.Top + ClientHeight(window);
    for (int i = 0; i < Form->ControlCount(); ++i) {
        const vcl::TControl *c = Form->Controls(i);
        if (!c->Visible()) continue;
        switch (c->Align()) {
        case vcl::alLeft: area.Left += c->Width(); break;
        case vcl::alRight: area.Right -= c->Width(); break;
        case vcl::alTop: area.Top += c->Height(); break;
        case vcl::alBottom: area.Bottom -= c->Height(); break;
        default: break;
        }
    }
    if (area.Right <= area.Left || area.Bottom <= area.Top) return;
    PaintSkinSection(section, Bg, 0, area, {area.Left, area.Top}, Image, m);
}

bool TsSkinProvider::PaintSizeGrip(HDC DC) {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!DC || !m || !m->IsValidMaskIndex(m->CommonElements.GripImage) || !Form || !Form->HandleAllocated()) return true;
    const TsMaskData &grip = m->Masks[static_cast<std::size_t>(m->CommonElements.GripImage)];
    const int w = GetMaskFrameWidth(grip), h = GetMaskFrameHeight(grip);
    if (w < 1 || h < 1) return true;
    const HWND window = Form->WindowHandle();
    // The lower right corner of the client area, in the frame's coordinates.
    const int x = GetClientOffsetX() + ClientWidth(window) - w;
    const int y = GetClientOffsetY() + ClientHeight(window) - h;
    auto piece = NewBitmap32(w, h);
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    TvlBgQuery query;
    if (!QueryParentBackground(query, Form, false, TvlAsker(this, Form, FSkinData.get()))) return false;
    if (query.Kind == bqImage && cache) {
        CopyPixels(piece->View(), 0, 0, cache->View(), x, y, w, h);
    } else {
        FillRectAlpha(*piece, {0, 0, w, h}, vcl::ColorToRGB(query.Color), 255);
        // A border mask wider than the frame reaches into the client area:
        // its right and bottom pieces show under the grip too.
        const int border = FSkinData->BorderIndex();
        if (cache && m->IsValidMaskIndex(border)) {
            const int frame = GetBorderWidth(window, BorderObject(), true);
            const int right = m->MaskRightMargin(border) - frame, bottom = m->MaskBottomMargin(border) - frame;
            if (right > 0 && bottom > 0) {
                CopyPixels(piece->View(), w - right, 0, cache->View(), x + w - right, y, right, h);
                CopyPixels(piece->View(), 0, h - bottom, cache->View(), x, y + h - bottom, w, bottom);
            }
        }
    }
    TvlBgInfo bg;
    InitBgInfo(piece.get(), 0, 0, bg);
    DrawSkinGlyph(*piece, {0, 0}, 0, gmNormal, grip, bg);
    BitBlt(DC, x, y, w, h, piece->Canvas()->Handle(), 0, 0, SRCCOPY);
    return true;
}

std::unique_ptr<vcl::TBitmap> TsSkinProvider::GetFormImage() {
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache || !Form) return nullptr;
    const int w = cache->Width(), h = cache->Height();
    auto image = NewBitmap32(w, h);
    CopyPixels(image->View(), 0, 0, cache->View(), 0, 0, w, h);
    if (Form->HandleAllocated() && !Has(Form, vcl::csDestroying)) {
        // The children's painting runs the application's code, which may
        // free children, this provider or its form: no picture then.
        const vcl::TGuarded self(this);
        const HWND window = Form->WindowHandle();
        const vcl::TPoint client{GetClientOffsetX(), GetClientOffsetY()};
        const HDC dc = image->Canvas()->Handle();
        const vcl::TSavedDC saved(dc);
        IntersectClipRect(dc, client.X, client.Y, client.X + ClientWidth(window), client.Y + ClientHeight(window));
        PaintGraphicControls(dc, client);
        if (!self) return nullptr;
        // Each child window as the form animations paint it: a skinned one
        // prints itself into the picture (a hidden form's children too), its
        // own children with it.
        std::vector<vcl::TGuarded<vcl::TWinControl>> children;
        for (int i = 0; i < Form->ControlCount(); ++i)
            if (auto *child = dynamic_cast<vcl::TWinControl *>(Form->Controls(i)))
                if (child->Visible() && child->HandleAllocated()) children.emplace_back(child);
        for (const vcl::TGuarded<vcl::TWinControl> &child : children) {
            if (!child) continue;
            const vcl::TSavedDC placed(dc);
            OffsetViewportOrgEx(dc, client.X + child->Left(), client.Y + child->Top(), nullptr);
            PaintControlToBitmap(*image, child.Get(), child->Left(), child->Top(), nullptr);
            if (!self) return nullptr;
        }
    }
    // The frame is opaque throughout: text and controls drawn by the system
    // leave its alpha at 0. A border form's shadow keeps its own.
    const vcl::TRect margins = GetShadowMargins();
    // The skin's border image has the frame's alpha right already; only
    // the client area is drawn by the system there.
    const vcl::TRect opaque = BorderMaskMode() && Form->HandleAllocated()
                                  ? vcl::TRect{GetClientOffsetX(), GetClientOffsetY(),
                                               GetClientOffsetX() + ClientWidth(Form->WindowHandle()),
                                               GetClientOffsetY() + ClientHeight(Form->WindowHandle())}
                                  : vcl::TRect{margins.Left, margins.Top, w - margins.Right, h - margins.Bottom};
    SetRectAlpha(*image, opaque, 255);
    return image;
}

} // namespace skin
