#include "sProviderOptions.h"

#include <algorithm>

#include "sFormBorder.h"
#include "sSkinProvider.h"
#include "vlSBAnimation.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/HintWindow.h"
#include "vcl/Menus.h"

namespace skin {

VCL_PUBLISHED(TvlAddedTitle, p) {
    p.Property("ShowMainCaption", &TvlAddedTitle::ShowMainCaption, &TvlAddedTitle::SetShowMainCaption).Default(true);
    p.Property("Font", &TvlAddedTitle::Font, &TvlAddedTitle::SetFont);
    p.Property("Text", &TvlAddedTitle::Text, &TvlAddedTitle::SetText);
}

VCL_PUBLISHED(TvlFormHeader, p) {
    p.Property("AdditionalHeight", &TvlFormHeader::AdditionalHeight, &TvlFormHeader::SetAdditionalHeight);
}

VCL_PUBLISHED(TsTitleIcon, p) {
    p.Property("Height", &TsTitleIcon::Height, &TsTitleIcon::SetHeight).Default(0);
    p.Property("Width", &TsTitleIcon::Width, &TsTitleIcon::SetWidth).Default(0);
    p.Property("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph);
    p.Property("Visible", &TsTitleIcon::Visible, &TsTitleIcon::SetVisible).Default(true);
}

VCL_PUBLISHED(TsTitleButton, p) {
    p.Property("Enabled", &TsTitleButton::Enabled, &TsTitleButton::SetEnabled).Default(true);
    p.Property("Glyph", &TsTitleButton::Glyph, &TsTitleButton::SetGlyph);
    p.Property("Hint", &TsTitleButton::Hint, &TsTitleButton::SetHint);
    p.Property("Name", &TsTitleButton::Name, &TsTitleButton::SetName);
    p.Property("UseSkinData", &TsTitleButton::UseSkinData, &TsTitleButton::SetUseSkinData).Default(true);
    p.Property("Visible", &TsTitleButton::Visible, &TsTitleButton::SetVisible).Default(true);
    p.Property("OnMouseDown", &TsTitleButton::OnMouseDown);
    p.Property("OnMouseUp", &TsTitleButton::OnMouseUp);
}

VCL_CLASS_INFO(TsTitleButtons)

VCL_PUBLISHED(TvlSysSubMenu, p) {
    p.Property("Caption", &TvlSysSubMenu::Caption, &TvlSysSubMenu::SetCaption);
    p.Property("Position", &TvlSysSubMenu::Position, &TvlSysSubMenu::SetPosition).Default(ipBeforeClose);
    p.Property("PopupMenu", &TvlSysSubMenu::PopupMenu, &TvlSysSubMenu::SetPopupMenu);
}

namespace {

// The frame shows a caption change at once, except while the provider is
// read from its description (its window may not even exist).
void RepaintFrame(TsSkinProvider *Provider) {
    if (Provider && !Provider->ProviderLoading()) Provider->RepaintFrameNow();
}

const char *const TitleButtonClassName = "TsTitleButton";

} // namespace

// ---------------------------------------------------------- TvlAddedTitle

TvlAddedTitle::TvlAddedTitle(TsSkinProvider *Provider) : FFont(std::make_unique<vcl::TFont>()), FProvider(Provider) {
    FFont->SetColor(vcl::clNone);
}

TvlAddedTitle::~TvlAddedTitle() = default;

void TvlAddedTitle::Changed() { RepaintFrame(FProvider); }

void TvlAddedTitle::SetShowMainCaption(bool Value) {
    if (FShowMainCaption == Value) return;
    FShowMainCaption = Value;
    Changed();
}

void TvlAddedTitle::SetFont(const vcl::TFont *Value) {
    FFont->Assign(Value);
    Changed();
}

void TvlAddedTitle::SetText(const std::string &Value) {
    if (FText == Value) return;
    FText = Value;
    Changed();
}

// ---------------------------------------------------------- TvlFormHeader

void TvlFormHeader::SetAdditionalHeight(int Value) {
    if (FAdditionalHeight == Value) return;
    FAdditionalHeight = Value;
    if (FProvider && !FProvider->ProviderLoading()) FProvider->SkinData()->RepaintControl(false);
}

bool TvlFormHeader::Present() const {
    if (FAdditionalHeight < 1 || !FProvider) return false;
    const TsSkinManager *m = FProvider->SkinData()->GetSkinManager();
    return m && m->IsValidSectionIndex(FProvider->HeaderSkinIndex);
}

bool TvlFormHeader::StateDependent() const {
    if (!Present()) return false;
    const TsSkinManager *m = FProvider->SkinData()->GetSkinManager();
    return m->Sections[static_cast<std::size_t>(FProvider->HeaderSkinIndex)].States >= 2;
}

// ------------------------------------------------------------ TsTitleIcon

TsTitleIcon::TsTitleIcon(TsSkinProvider *Provider) : FProvider(Provider), FGlyph(std::make_unique<vcl::TBitmap>()) {}

TsTitleIcon::~TsTitleIcon() = default;

void TsTitleIcon::SetGlyph(const vcl::TBitmap *Value) { FGlyph->Assign(Value); }

void TsTitleIcon::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    RepaintFrame(FProvider);
}

// ---------------------------------------------------------- TsTitleButton

TsTitleButton::TsTitleButton(vcl::TCollection *Collection)
    : vcl::TCollectionItem(Collection), FName(TitleButtonClassName), FGlyph(std::make_unique<vcl::TBitmap>()) {
    Data.HitCode = htTitleButton + std::max(0, Index());
    FGlyph->OnChange = vcl::TNotifyEvent::Bind<&TsTitleButton::GlyphChanged>(this);
}

TsTitleButton::~TsTitleButton() { FreeFade(); }

void TsTitleButton::FreeFade() {
    // The provider owns the fade; its destructor clears Data.Timer.
    delete Data.Timer;
}

void TsTitleButton::GlyphChanged(vcl::TObject *) { FreeFade(); }

void TsTitleButton::Assign(const vcl::TPersistent *Source) {
    const auto *from = dynamic_cast<const TsTitleButton *>(Source);
    if (!from) {
        inherited::Assign(Source);
        return;
    }
    FEnabled = from->FEnabled;
    FGlyph->Assign(from->FGlyph.get());
    FHint = from->FHint;
    FName = from->FName;
    FUseSkinData = from->FUseSkinData;
    OnMouseDown = from->OnMouseDown;
    OnMouseUp = from->OnMouseUp;
}

void TsTitleButton::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    // A hidden button is never painted, so no fade out would take its layer.
    if (!FVisible) FreeFade();
    RepaintFrame(Provider());
}

void TsTitleButton::SetName(const std::string &Value) {
    if (FName != Value) FName = Value;
}

void TsTitleButton::SetGlyph(const vcl::TBitmap *Value) { FGlyph->Assign(Value); }

void TsTitleButton::DoMouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::DoMouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

TsSkinProvider *TsTitleButton::Provider() const {
    const auto *buttons = dynamic_cast<const TsTitleButtons *>(Collection());
    return buttons ? buttons->Provider() : nullptr;
}

// --------------------------------------------------------- TsTitleButtons

TsTitleButtons::TsTitleButtons(TsSkinProvider *Provider)
    : vcl::TCollection(TsTitleButton::StaticClassInfo(), Provider), FProvider(Provider) {}

TsTitleButtons::~TsTitleButtons() {
    // The buttons go without asking a provider that is going itself.
    FProvider = nullptr;
    Clear();
}

TsTitleButton *TsTitleButtons::Items(int Index) const {
    return static_cast<TsTitleButton *>(vcl::TCollection::Items(Index));
}

// ---------------------------------------------------------- TvlSysSubMenu

void TvlSysSubMenu::SetPopupMenu(vcl::TPopupMenu *Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu && FProvider) FPopupMenu->RemoveFreeNotification(FProvider);
    FPopupMenu = Value;
    if (FPopupMenu && FProvider) FPopupMenu->FreeNotification(FProvider);
}

void TvlSysSubMenu::ComponentRemoved(const vcl::TComponent *Component) {
    if (Component && Component == FPopupMenu) FPopupMenu = nullptr;
}

// ------------------------------------------------------------ glued forms

const std::vector<TvlGluedPair> &GluedPairs() { return FormsState().GluedPairs; }

namespace {

// A form freed leaves the list, glued or master, whether a provider of its
// own goes with it or not: the master's moves and blends would reach it.
class TvlGluedWatch : public vcl::TComponent {
public:
    TvlGluedWatch() : vcl::TComponent(nullptr) {}

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override {
        vcl::TComponent::Notification(AComponent, Operation);
        if (Operation != vcl::opRemove) return;
        std::erase_if(FormsState().GluedPairs, [AComponent](const TvlGluedPair &p) {
            return static_cast<vcl::TComponent *>(p.Glued) == AComponent ||
                   static_cast<vcl::TComponent *>(p.Master) == AComponent;
        });
    }
};

} // namespace

void GlueForm(vcl::TCustomForm *Glued, vcl::TCustomForm *Master, int OffsetX, int OffsetY) {
    // A form that goes (its window's last activation change) is glued no more.
    const auto going = [](const vcl::TCustomForm *F) { return F->ComponentState().Contains(vcl::csDestroying); };
    if (!Glued || !Master || Glued == Master || going(Glued) || going(Master)) return;
    for (TvlGluedPair &pair : FormsState().GluedPairs)
        if (pair.Glued == Glued && pair.Master == Master) {
            pair.OffsetX = OffsetX;
            pair.OffsetY = OffsetY;
            return;
        }
    std::unique_ptr<vcl::TComponent> &watch = FormsState().GluedWatch;
    if (!watch) watch = std::make_unique<TvlGluedWatch>();
    Glued->FreeNotification(watch.get());
    Master->FreeNotification(watch.get());
    FormsState().GluedPairs.push_back({Glued, Master, OffsetX, OffsetY});
}

namespace {

// Takes out every entry Drop answers true for; the last entry takes the
// place of one taken out.
template <class F> void RemovePairs(F Drop) {
    std::vector<TvlGluedPair> &pairs = FormsState().GluedPairs;
    for (std::size_t i = 0; i < pairs.size();) {
        if (Drop(pairs[i])) {
            pairs[i] = pairs.back();
            pairs.pop_back();
        } else {
            ++i;
        }
    }
}

} // namespace

void UngluePairsOf(vcl::TCustomForm *Form) {
    RemovePairs([Form](const TvlGluedPair &p) { return p.Glued == Form; });
}

void RemoveGluedForm(vcl::TCustomForm *Form) {
    if (!Form) return;
    RemovePairs([Form](const TvlGluedPair &p) { return p.Glued == Form || p.Master == Form; });
}

int SnapOffset(int Value, int Edge, int Distance) {
    return Value >= Edge - Distance && Value <= Edge + Distance ? Value - Edge : 0;
}

// ---------------------------------------------- snapping and glued moving

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

// The window's rectangle on the screen; the bounds while it has no window.
vcl::TRect ScreenRect(const vcl::TCustomForm &Form) {
    RECT r{};
    if (const HWND window = WindowOf(&Form); window && GetWindowRect(window, &r))
        return {r.left, r.top, r.right, r.bottom};
    return Form.BoundsRect();
}

bool GluedTo(const vcl::TCustomForm *Glued, const vcl::TCustomForm *Master) {
    const auto &pairs = GluedPairs();
    return std::any_of(pairs.begin(), pairs.end(),
                       [&](const TvlGluedPair &p) { return p.Glued == Glued && p.Master == Master; });
}

// What the user sees of a form at Window: the window, or with an extended
// border the border window around it (the shadow margins and the skin
// frame's excess over the window). Provider: the form's, or null.
vcl::TRect SeenRect(const vcl::TRect &Window, const TvlFormProvider *Provider) {
    if (!Provider) return Window;
    const vcl::TRect m = Provider->GetShadowMargins();
    const vcl::TPoint offset = Provider->GetFrameOffset();
    const int side = offset.X - m.Left;
    return {Window.Left - offset.X, Window.Top - offset.Y, Window.Right + side + m.Right,
            Window.Bottom + side + m.Bottom};
}

const TvlFormProvider *ProviderOf(vcl::TCustomForm &Form) {
    return reinterpret_cast<const TvlFormProvider *>(Form.Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_FORM_PROVIDER), 0));
}

// Two rectangles touch along an edge.
bool ShareEdge(const vcl::TRect &A, const vcl::TRect &B) {
    return A.Right == B.Left || A.Left == B.Right || A.Bottom == B.Top || A.Top == B.Bottom;
}

void SetGluedMove(vcl::TCustomForm *Form, bool On) {
    Form->Perform(SM_SKINCOMMAND, SkinCommand(SC_SET_GLUED_MOVE), On ? 1 : 0);
}

} // namespace

void TsSkinProvider::SnapFormPosition(WINDOWPOS &Pos) {
    if (!Form || (StateFlags & pfGluedMove) || (Pos.flags & SWP_NOMOVE)) return;
    // Moving a glued form by itself unglues it.
    UngluePairsOf(Form);
    const vcl::TRect work = FormWorkArea(*Form);
    const vcl::TRect now = ScreenRect(*Form);
    const int width = (Pos.flags & SWP_NOSIZE) ? now.Width() : Pos.cx;
    const int height = (Pos.flags & SWP_NOSIZE) ? now.Height() : Pos.cy;
    // Where forms have an extended border, its edges are what meet.
    const vcl::TRect moved = SeenRect({Pos.x, Pos.y, Pos.x + width, Pos.y + height}, this);
    const int buffer = FSnapBuffer;
    int dx = 0, dy = 0;
    for (int i = 0; vcl::Screen && i < vcl::Screen->FormCount() && (dx == 0 || dy == 0); ++i) {
        vcl::TCustomForm *other = vcl::Screen->Forms(i);
        if (other == Form || !dynamic_cast<vcl::TForm *>(other) || !other->Visible() || GluedTo(other, Form)) continue;
        // Each of its edges against the dragged form's edge that faces it.
        const vcl::TRect edges = SeenRect(ScreenRect(*other), ProviderOf(*other));
        if (dx == 0) dx = SnapOffset(moved.Left, edges.Right, buffer);
        if (dx == 0) dx = SnapOffset(moved.Right, edges.Left, buffer);
        if (dy == 0) dy = SnapOffset(moved.Top, edges.Bottom, buffer);
        if (dy == 0) dy = SnapOffset(moved.Bottom, edges.Top, buffer);
    }
    if (dx == 0) dx = SnapOffset(moved.Left, work.Left, buffer);
    if (dy == 0) dy = SnapOffset(moved.Top, work.Top, buffer);
    if (dx == 0) dx = SnapOffset(moved.Right, work.Right, buffer);
    if (dy == 0) dy = SnapOffset(moved.Bottom, work.Bottom, buffer);
    Pos.x -= dx;
    Pos.y -= dy;
}

void TsSkinProvider::NoteGluedForms() {
    if (!Form || !vcl::Screen) return;
    const vcl::TRect window = ScreenRect(*Form);
    const vcl::TRect mine = SeenRect(window, this);
    for (int n = 0; n < FGluedForms->Count(); ++n) {
        const std::string name = FGluedForms->Strings(n);
        for (int i = 0; i < vcl::Screen->FormCount(); ++i) {
            vcl::TCustomForm *other = vcl::Screen->Forms(i);
            if (other == Form || !dynamic_cast<vcl::TForm *>(other) || !other->Visible() || other->Name() != name)
                continue;
            // Touching as seen; the offset is the windows'.
            const vcl::TRect theirs = ScreenRect(*other);
            if (ShareEdge(mine, SeenRect(theirs, ProviderOf(*other))))
                GlueForm(other, Form, theirs.Left - window.Left, theirs.Top - window.Top);
        }
    }
}

void TsSkinProvider::MoveGluedForms() {
    if (!Form) return;
    const vcl::TRect mine = ScreenRect(*Form);
    MoveGluedForms({mine.Left, mine.Top});
}

void TsSkinProvider::MoveGluedForms(vcl::TPoint MasterTopLeft) {
    if (!Form || (StateFlags & pfGluedMove)) return;
    const vcl::TPoint mine = MasterTopLeft;
    // The followers' moves may change the list (a form freed leaves it),
    // and run their handlers, which may free this provider: the pairs as
    // they are now, each looked up again before it is used.
    const std::vector<TvlGluedPair> pairs = GluedPairs();
    const vcl::TGuarded alive(this);
    for (int n = 0; n < FGluedForms->Count(); ++n) {
        const std::string name = FGluedForms->Strings(n);
        for (const TvlGluedPair &pair : pairs) {
            if (pair.Master != Form || !GluedTo(pair.Glued, Form) || pair.Glued->Name() != name) continue;
            vcl::TCustomForm *glued = pair.Glued;
            const vcl::TGuarded gluedAlive(glued);
            SetGluedMove(glued, true);
            if (gluedAlive)
                glued->SetBounds(mine.X + pair.OffsetX, mine.Y + pair.OffsetY, glued->Width(), glued->Height());
            if (gluedAlive) SetGluedMove(glued, false);
            if (!alive) return;
        }
    }
}

void TsSkinProvider::SnapBorderPosition(WINDOWPOS &Pos, vcl::TPoint Offset) {
    const HWND window = WindowOf(Form);
    if (!(StateFlags & pfBlendOnMoving) || !FScreenSnap || !window || IsZoomed(window) || (Pos.flags & SWP_NOMOVE))
        return;
    // The form's frame where the request puts the border, at the form's size.
    WINDOWPOS frame = Pos;
    frame.x += Offset.X;
    frame.y += Offset.Y;
    frame.flags |= SWP_NOSIZE;
    SnapFormPosition(frame);
    Pos.x = frame.x - Offset.X;
    Pos.y = frame.y - Offset.Y;
}

// ------------------------------------------------ the border form's moves

void TsFormBorder::BorderPosChanging(WINDOWPOS &Pos) { FProvider.SnapBorderPosition(Pos, BorderOffset()); }

bool TsFormBorder::BorderFreeFades() {
    if (!FProvider.FreeButtonAnimations()) return false;
    // The cache holds the faded buttons' normal look: drawn again in their state.
    FProvider.SkinData()->BGChanged = true;
    return true;
}

// (The screen's form alignment, a further guard where forms are aligned to
// the work area by the library of forms, never runs in this one.)
void TsFormBorder::BorderUpdateGuards(TvlBorderUpdateState &State) const {
    const vcl::TCustomForm *form = FProvider.Form;
    const HWND window = BorderOwnerWindow();
    RECT r{};
    if (form && window && GetWindowRect(window, &r)) State.AtFormLeft = r.left == form->Left();
    const TsCommonData *data = FProvider.SkinData();
    State.PaintLockTaken = data && (data->BGFlags() & bgfPaintLockTaken);
    State.PaintLocked = data && data->PaintLocked;
    // InShowAnimation is left clear: the show animation takes its first
    // picture from the border that this update brings up to date.
    State.DrawNonClientArea = FProvider.DrawNonClientArea();
    State.Destroying = FProvider.ComponentState().Contains(vcl::csDestroying) ||
                       (form && form->ComponentState().Contains(vcl::csDestroying));
}

void TsFormBorder::BorderRemove() { FProvider.UpdateExtBorders(false); }

void TsFormBorder::BorderWindowFreed() { FProvider.SkinData()->BGChanged = true; }

bool TsFormBorder::BorderStayOnTopActive() const {
    const vcl::TCustomForm *form = FProvider.Form;
    const HWND window = BorderOwnerWindow();
    return form && window && form->FormStyle() == vcl::fsStayOnTop && GetActiveWindow() == window;
}

bool TsFormBorder::BorderStayOnTopPlace(HWND &InsertAfter) const {
    const vcl::TCustomForm *form = FProvider.Form;
    const HWND window = BorderOwnerWindow();
    if (!form || !window || form->FormStyle() != vcl::fsStayOnTop) return false;
    const bool mainActive = vcl::Application && vcl::Application->MainForm() == form && GetActiveWindow() == window;
    InsertAfter = DwmCompositionActive() && mainActive ? HWND_TOP : window;
    return true;
}

void TsFormBorder::BorderMoved() {
    const HWND border = Border().Window();
    RECT r{};
    // Dragged in a blended move, the border window carries the frame the
    // user sees while the form waits: the glued forms follow the border.
    if ((FProvider.StateFlags & pfBlendOnMoving) && border && GetWindowRect(border, &r)) {
        const vcl::TPoint offset = BorderOffset();
        FProvider.MoveGluedForms({r.left + offset.X, r.top + offset.Y});
    } else {
        FProvider.MoveGluedForms();
    }
}

} // namespace skin
