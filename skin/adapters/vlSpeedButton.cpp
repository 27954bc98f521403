#include "vlSpeedButton.h"

#include <algorithm>
#include <vector>

#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlItemGlyphs.h"
#include "vcl/Bitmap.h"
#include "vcl/Buttons.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlBitBtnWnd.h"
#include "vlAdaptersState.h"
#include "vlSBPaint.h"

namespace skin {

void TvlSpeedButtonHandler::TRelay::Call(vcl::TMessage &Message) {
    if (Handler)
        Handler->HandleMessage(Message);
    else if (Saved)
        Saved(Message);
}

TvlSpeedButtonHandler::TvlSpeedButtonHandler(vcl::TSpeedButton *Button, const std::string &Section,
                                             TsSkinManager *Manager, TsCommonData *SkinData)
    : FButton(Button), FSkinData(SkinData) {
    if (!FSkinData) {
        FOwnSkinData = std::make_unique<TsCommonData>(Button, true);
        FSkinData = FOwnSkinData.get();
        if (Manager) FSkinData->SetSkinManager(Manager);
    }
    FManager = Manager ? Manager : FSkinData->GetSkinManager();
    FGivenSection = Section;
    FOwnSection = FSkinData->SkinSection().empty();
    if (FOwnSection) FSkinData->SetSkinSection(Section);
    FaceSection();
    FSkinData->Updating = false;
    FSavedProc = Button->WindowProc;
    FRelay = std::make_unique<TRelay>(TRelay{this, FSavedProc});
    Button->WindowProc = vcl::TWndMethod::Bind<&TRelay::Call>(FRelay.get());
    Button->Invalidate();
}

TvlSpeedButtonHandler::~TvlSpeedButtonHandler() {
    GiveBack();
    FManager = nullptr;
}

vcl::TControl *TvlSpeedButtonHandler::HandledControl() const { return Serving() ? FButton.Get() : nullptr; }

bool TvlSpeedButtonHandler::Serving() const {
    // A button being freed takes its procedures along: from its removal on
    // the handler leaves it alone.
    return !FRestored && FButton && !FButton->ComponentState().Contains(vcl::csDestroying);
}

void TvlSpeedButtonHandler::GiveBack() {
    if (!Serving()) return;
    FRestored = true;
    // Only while ours is the button's: a procedure chained over ours calls
    // it as its previous one, so it stays, passing everything on.
    if (FButton->WindowProc == vcl::TWndMethod::Bind<&TRelay::Call>(FRelay.get())) {
        FButton->WindowProc = FSavedProc;
    } else {
        FRelay->Handler = nullptr;
        AdaptersState().OrphanedButtonRelays.push_back(Keep(std::move(FRelay)));
    }
    FRelay.reset();
    FButton->Invalidate();
}

void TvlSpeedButtonHandler::PassOn(vcl::TMessage &Message) {
    if (FSavedProc) FSavedProc(Message);
}

void TvlSpeedButtonHandler::Repaint() {
    if (FButton && FButton->Visible()) FButton->Invalidate();
}

void TvlSpeedButtonHandler::FaceSection() {
    if (FOwnSection && FManager) {
        const int given = FManager->FindSectionIndex(FGivenSection);
        const bool hidden = given >= 0 && static_cast<std::size_t>(given) < FManager->Sections.size() &&
                            FManager->Sections[static_cast<std::size_t>(given)].Props[0].Transparency >= 100;
        const int button = FManager->FindSectionIndex("BUTTON");
        FSkinData->SetSkinSection(hidden && button >= 0 ? "BUTTON" : FGivenSection);
    }
    FSkinData->UpdateIndexes(true);
}

// ------------------------------------------------------------- layout

bool TvlSpeedButtonHandler::ShiftsContent() const {
    return !(FSkinData->IsSkinned(false) && (!FManager || !FManager->ButtonsOptions()->ShiftContentOnClick));
}

vcl::TRect TvlSpeedButtonHandler::Shifted(const vcl::TRect &R) {
    if (CurrentState() != 2 || !ShiftsContent()) return R;
    return {R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
}

int TvlSpeedButtonHandler::CurrentState() {
    const vcl::TButtonState state = FButton->State();
    if (state == vcl::bsDown || state == vcl::bsExclusive) return 2;
    return FSkinData->IsControlActive() ? 1 : 0;
}

vcl::TSize TvlSpeedButtonHandler::GlyphSize() const {
    const vcl::TBitmap *glyph = FButton->Glyph();
    if (!glyph || glyph->Empty()) return {0, 0};
    return {glyph->Width() / std::max(1, FButton->NumGlyphs() & 0x7F), glyph->Height()};
}

vcl::TSize TvlSpeedButtonHandler::CaptionSize() {
    const std::string caption = FButton->Caption();
    if (caption.empty()) return {0, 0};
    FSkinData->PrepareCache();
    vcl::TCanvas &canvas = *FSkinData->CacheBmp()->Canvas();
    canvas.Font()->Assign(FButton->Font());
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    vcl::TRect r{0, 0, 255, 0};
    DrawTextStr(canvas.Handle(), caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return {r.Width(), r.Height()};
}

vcl::TRect TvlSpeedButtonHandler::GlyphRect() {
    const int w = FButton->Width(), h = FButton->Height(), margin = FButton->Margin();
    const vcl::TSize g = GlyphSize(), t = CaptionSize();
    const bool caption = !FButton->Caption().empty();
    const int sx = g.cx > 0 && caption ? FButton->Spacing() : 0;
    const int sy = g.cy > 0 && caption ? FButton->Spacing() : 0;
    const int x0 = (w - g.cx - sx - t.cx) / 2, y0 = (h - g.cy - sy - t.cy) / 2;
    vcl::TPoint p;
    switch (FButton->Layout()) {
    case vcl::blGlyphLeft: p = {margin == -1 ? x0 : margin, (h - g.cy) / 2}; break;
    case vcl::blGlyphRight: p = {margin == -1 ? w - x0 - g.cx : w - g.cx - margin, (h - g.cy) / 2}; break;
    case vcl::blGlyphTop: p = {(w - g.cx) / 2, margin == -1 ? y0 : margin}; break;
    default: p = {(w - g.cx) / 2, margin == -1 ? h - y0 - g.cy : h - g.cy - margin}; break;
    }
    return Shifted({p.X, p.Y, p.X + g.cx, p.Y + g.cy});
}

vcl::TRect TvlSpeedButtonHandler::CaptionRect() {
    const int w = FButton->Width(), h = FButton->Height(), margin = FButton->Margin(), s = FButton->Spacing();
    const vcl::TSize t = CaptionSize();
    vcl::TPoint p;
    if (GlyphSize().cx == 0) {
        switch (FButton->Layout()) {
        case vcl::blGlyphLeft: p = {margin == -1 ? (w - t.cx) / 2 : margin, (h - t.cy) / 2}; break;
        case vcl::blGlyphRight: p = {margin == -1 ? (w - t.cx) / 2 : w - margin - t.cx, (h - t.cy) / 2}; break;
        case vcl::blGlyphTop: p = {(w - t.cx) / 2, margin == -1 ? (h - t.cy) / 2 : margin}; break;
        default: p = {(w - t.cx) / 2, margin == -1 ? (h - t.cy) / 2 : h - margin - t.cy}; break;
        }
        return Shifted({p.X, p.Y, p.X + t.cx, p.Y + t.cy});
    }
    // The glyph's place without the shift, which is added once below: the
    // caption moves by (1, 1) with the glyph and keeps its distance to it
    // (the shifted glyph's side and the shift again would move it twice).
    const bool down = CurrentState() == 2 && ShiftsContent();
    vcl::TRect g = GlyphRect();
    if (down) g = {g.Left - 1, g.Top - 1, g.Right - 1, g.Bottom - 1};
    switch (FButton->Layout()) {
    case vcl::blGlyphLeft: p = {g.Right + s, (h - t.cy) / 2}; break;
    case vcl::blGlyphRight: p = {g.Left - s - t.cx, (h - t.cy) / 2}; break;
    case vcl::blGlyphTop: p = {(w - t.cx) / 2, g.Bottom + s}; break;
    default: p = {(w - t.cx) / 2, g.Top - s - t.cy}; break;
    }
    return Shifted({p.X, p.Y, p.X + t.cx, p.Y + t.cy});
}

// ------------------------------------------------------------ picture

bool TvlSpeedButtonHandler::BuildCache() {
    const int w = FButton->Width(), h = FButton->Height();
    FSkinData->PrepareCache();
    vcl::TBitmap &cache = *FSkinData->CacheBmp();
    cache.SetSize(w, h);
    cache.Canvas()->Font()->Assign(FButton->Font());
    TvlBgQuery query;
    if (!QueryParentBackground(query, FButton->Parent(), false, TvlAsker(this, FButton.Get(), FSkinData))) return false;
    TvlBgInfo bg;
    BgQueryToBgInfo(query, bg);
    if (bg.UseBmp && bg.Bmp && bg.Bmp->Width() == 0) return false;
    const int state = CurrentState();
    const vcl::TPoint pos{FButton->Left(), FButton->Top()};
    PaintControlSkin(*FSkinData, bg, state, {0, 0, w, h}, pos, cache, state == 2);
    if (!PaintBorderCorners(*FSkinData, state, bcAll, TvlAsker(this, FButton.Get(), FSkinData))) return false;
    const std::string caption = FButton->Caption();
    if (!caption.empty()) {
        vcl::TCanvas &canvas = *cache.Canvas();
        canvas.Brush()->SetStyle(vcl::bsClear);
        WriteTextForControl(canvas, caption, FButton->Enabled(), CaptionRect(), DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS,
                            *FSkinData, state != 0 ? 1 : 0);
    }
    if (vcl::TBitmap *glyph = FButton->Glyph(); glyph && !glyph->Empty()) {
        // A device-format glyph carries no alpha: as 32 bits it would come out
        // wholly transparent, so it goes over as an opaque 24-bit picture.
        if (glyph->PixelFormat() == vcl::pfDevice) glyph->SetPixelFormat(vcl::pf24bit);
        TvlGlyphPaintData data;
        data.Glyph = glyph;
        data.SkinIndex = FSkinData->SkinIndex();
        data.SkinManager = FManager;
        data.Bitmap = &cache;
        data.ImgRect = GlyphRect();
        data.NumGlyphs = std::max(1, FButton->NumGlyphs() & 0x7F);
        data.Enabled = FButton->Enabled();
        data.Down = FButton->Down();
        // The manager's glyph-blend option asks the grey look, as for menus and tool buttons.
        data.Grayed = FSkinData->IsSkinned(false) && FManager && FManager->Effects()->DiscoloredGlyphs();
        data.State = state;
        PaintItemGlyph(data);
    }
    if (!FButton->Enabled()) PaintDisabledBlend(cache, bg, pos);
    FSkinData->BGChanged = false;
    return true;
}

void TvlSpeedButtonHandler::Paint(HDC DC) {
    const int saved = SaveDC(DC);
    if (BuildCache() && PaintBorderCorners(*FSkinData, 0, bcAll, TvlAsker(this, FButton.Get(), FSkinData))) {
        vcl::TBitmap &cache = *FSkinData->CacheBmp();
        BitBlt(DC, 0, 0, FButton->Width(), FButton->Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(DC, saved);
}

// ----------------------------------------------------------- messages

bool TvlSpeedButtonHandler::SkinCommand(vcl::TMessage &Message) {
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == FManager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
    case SC_SKIN_REFRESH:
        if (!own) return false;
        CommonWndProc(Message, FSkinData);
        FaceSection();
        FSkinData->BGChanged = true;
        if (SubCommandOf(Message.WParam) == SC_SKIN_REFRESH) Repaint();
        return true;
    case SC_SKIN_REMOVED:
        if (!own || FButton->ComponentState().Contains(vcl::csDestroying)) return false;
        CommonWndProc(Message, FSkinData);
        GiveBack();
        return true;
    case SC_PARENT_UPDATE_DONE:
        if (!FSkinData->UpdatePaintLock(false)) return false;
        FSkinData->PaintLocked = false;
        return true;
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_REPAINT:
        FSkinData->PaintLocked = false;
        FSkinData->BGChanged = true;
        Repaint();
        return false;
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    default: return false;
    }
}

void TvlSpeedButtonHandler::HandleMessage(vcl::TMessage &Message) {
    if (!Serving()) {
        PassOn(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam) Paint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_DESTROY:
        GiveBack();
        PassOn(Message);
        return;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE: {
        FSkinData->MouseInside = Message.Msg == vcl::CM_MOUSEENTER;
        FSkinData->BGChanged = true;
        // The button's own handler may free the button or this handler.
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) Repaint();
        return;
    }
    case SM_SKINCOMMAND:
        if (SkinCommand(Message)) return;
        break;
    default: break;
    }
    PassOn(Message);
}

} // namespace skin
