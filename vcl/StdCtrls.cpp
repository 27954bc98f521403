#include "StdCtrls.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TCustomLabel, p) {
    p.Property("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption);
    p.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    p.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
    p.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
    p.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
    p.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
    p.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
    p.Property("EllipsisPosition", &TCustomLabel::EllipsisPosition, &TCustomLabel::SetEllipsisPosition)
        .Default(epNone);
}

VCL_CLASS_INFO(TLabel)
VCL_CLASS_INFO(TButtonControl)

VCL_PUBLISHED(TButton, p) {
    p.Property("Caption", &TButton::Caption, &TButton::SetCaption);
    p.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    p.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    p.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(mrNone);
}

VCL_PUBLISHED(TCustomEdit, p) {
    p.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    p.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
    p.Property("OnChange", &TCustomEdit::OnChange);
}

VCL_CLASS_INFO(TEdit)
VCL_CLASS_INFO(TMemoStrings)

VCL_PUBLISHED(TCustomMemo, p) {
    p.Property("Lines", &TCustomMemo::Lines);
    p.Property("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
    p.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
    p.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
}

VCL_CLASS_INFO(TMemo)


namespace {
// So that form descriptions can name them without a field of their class.
const bool StdCtrlsRegistered = (RegisterClasses({&TLabel::StaticClassInfo(), &TButton::StaticClassInfo(),
                                                  &TMemo::StaticClassInfo(), &TEdit::StaticClassInfo()}),
                                 true);
} // namespace

namespace {

// Where each line of a memo's text starts and how long it is, in UTF-16
// positions; lines are separated by CR LF.
struct TLineSpan {
    std::size_t Start;
    std::size_t Length;
};

std::vector<TLineSpan> SplitLines(const std::wstring &Text) {
    std::vector<TLineSpan> spans;
    if (Text.empty()) return spans;
    std::size_t start = 0;
    for (;;) {
        const std::size_t brk = Text.find(L"\r\n", start);
        if (brk == std::wstring::npos) {
            spans.push_back({start, Text.size() - start});
            return spans;
        }
        spans.push_back({start, brk - start});
        start = brk + 2;
    }
}

int DrawUtf8(HDC DC, const std::string &Text, TRect &R, UINT Flags) {
    const std::wstring text = Utf8ToWide(Text);
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    const int height = DrawTextW(DC, text.c_str(), static_cast<int>(text.size()), &r, Flags);
    if (Flags & DT_CALCRECT) R = {r.left, r.top, r.right, r.bottom};
    return height;
}

UINT EllipsisFlag(TEllipsisPosition Position) {
    switch (Position) {
    case epPathEllipsis: return DT_PATH_ELLIPSIS;
    case epEndEllipsis: return DT_END_ELLIPSIS;
    case epWordEllipsis: return DT_WORD_ELLIPSIS;
    default: return 0;
    }
}

void CheckIndex(int Index, std::size_t Count, bool AllowEnd) {
    const auto limit = static_cast<int>(Count) + (AllowEnd ? 1 : 0);
    if (Index < 0 || Index >= limit)
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

} // namespace

// ------------------------------------------------------------ TCustomLabel

TCustomLabel::TCustomLabel(TComponent *AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustSize();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value) return;
    if (Value) SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
    else SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustSize();
    Invalidate();
}

UINT TCustomLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    switch (FAlignment) {
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
    }
    return flags;
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition Value) {
    if (FEllipsisPosition == Value) return;
    FEllipsisPosition = Value;
    Invalidate();
}

std::size_t EllipsisCut(std::string_view Text) {
    const std::size_t blank = Text.find_last_of(" \t");
    if (blank != std::string_view::npos) return blank;
    if (Text.empty()) return 0;
    // Back to the lead byte: a cut inside a sequence would leave bytes
    // that are no text at all.
    std::size_t n = Text.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(Text[n]) & 0xC0) == 0x80) --n;
    return n;
}

void TCustomLabel::ApplyEllipsis(std::string &Text, const TRect &Rect, UINT &Flags) {
    if (FEllipsisPosition == epNone || FAutoSize) return;
    Flags = (Flags & ~static_cast<UINT>(DT_EXPANDTABS)) | EllipsisFlag(FEllipsisPosition);
    // The system puts "..." only where a line is too wide; lines below the
    // label's bottom are cut off silently, so a wrapped text loses words
    // until the rest fits.
    if (!FWordWrap || (FEllipsisPosition != epEndEllipsis && FEllipsisPosition != epWordEllipsis)) return;
    TCanvas *canvas = Canvas();
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    const int dotsWidth = canvas->TextWidth("...");
    std::string work = Text;
    do {
        TRect measured = Rect;
        measured.Right -= dotsWidth;
        DrawUtf8(canvas->Handle(), work, measured, Flags | DT_CALCRECT);
        const int height = measured.Height();
        if (ClientHeight() >= height || canvas->Font()->Height() >= height) break;
        Text.resize(EllipsisCut(Text));
        work = Text + "...";
    } while (!Text.empty());
    if (!Text.empty()) Text = work;
}

void TCustomLabel::DoDrawText(TRect &Rect, UINT Flags) {
    std::string text = Caption();
    // An empty line still has the height of one.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text.assign(1, ' ');
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    TCanvas *canvas = Canvas();
    canvas->SetFont(Font());
    ApplyEllipsis(text, Rect, Flags);
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    HDC dc = canvas->Handle();
    if (Flags & DT_CALCRECT) {
        DrawUtf8(dc, text, Rect, Flags);
        return;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (Enabled()) {
        SetTextColor(dc, GdiColor(Font()->Color()));
        DrawUtf8(dc, text, Rect, Flags);
    } else {
        // Disabled text: a light copy one pixel down and right, the shadow above it.
        TRect offset{Rect.Left + 1, Rect.Top + 1, Rect.Right + 1, Rect.Bottom + 1};
        SetTextColor(dc, GdiColor(clBtnHighlight));
        DrawUtf8(dc, text, offset, Flags);
        SetTextColor(dc, GdiColor(clBtnShadow));
        DrawUtf8(dc, text, Rect, Flags);
    }
    SetBkMode(dc, oldMode);
}

void TCustomLabel::AdjustSize() {
    if (!FAutoSize || IsLoading()) return;
    TRect r{0, 0, FWordWrap ? Width() : 0, 0};
    {
        const TWindowDC screen;
        // During a paint the canvas keeps the paint's DC, which measures as well.
        std::optional<TCanvasDCScope> lent;
        if (Canvas()->LockCount() == 0) lent.emplace(Canvas(), screen.Get());
        DoDrawText(r, TextFlags() | DT_CALCRECT);
    }
    int left = Left();
    const int width = FWordWrap ? Width() : r.Width();
    if (!FWordWrap && FAlignment == taRightJustify) left = Left() + Width() - width;
    if (!FWordWrap && FAlignment == taCenter) left = Left() + (Width() - width) / 2;
    SetBounds(left, Top(), width, r.Height());
}

void TCustomLabel::Paint() {
    TCanvas *canvas = Canvas();
    if (!Transparent()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(ClientRect());
    }
    TRect r{0, 0, Width(), Height()};
    const UINT flags = TextFlags();
    if (FLayout != tlTop) {
        TRect measure = r;
        DoDrawText(measure, flags | DT_CALCRECT);
        const int h = measure.Height();
        r.Top = FLayout == tlCenter ? (Height() - h) / 2 : Height() - h;
    }
    DoDrawText(r, flags);
}

// ---------------------------------------------------------------- TButton

TButtonControl::TButtonControl(TComponent *AOwner) : TWinControl(AOwner) {}

TButton::TButton(TComponent *AOwner) : TButtonControl(AOwner) {
    // The system class handles the mouse; a click comes as BN_CLICKED.
    SetControlStyle(TControlStyle{csDoubleClicks});
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    if (HandleAllocated())
        Perform(BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    default: inherited::Dispatch(Message); break;
    }
}

void TButton::CNCommand(TMessage &Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
}

void TButton::Click() {
    if (FModalResult != mrNone)
        if (TFormHost *form = FormHostOf(this)) form->SetModalResult(FModalResult);
    inherited::Click();
}

void TButton::CMDialogKey(TMessage &Message) {
    if (!CanFocus()) return;
    bool fire = false;
    if (Message.WParam == VK_RETURN) {
        // The focused button, or the default one while no button has the focus.
        TWinControl *focused = FindControl(GetFocus());
        fire = Focused() || (FDefault && !dynamic_cast<TButton *>(focused));
    } else if (Message.WParam == VK_ESCAPE) {
        fire = FCancel;
    }
    if (!fire) return;
    Click();
    Message.Result = 1;
}

// ------------------------------------------------------------ TCustomEdit

TCustomEdit::TCustomEdit(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csDoubleClicks});
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FBorderStyle != bsNone) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::InitializeWnd() {
    // No limit but the system's: the default of 32,767 characters is too small for a memo.
    Perform(EM_SETLIMITTEXT, 0, 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (HandleAllocated()) Perform(EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::Dispatch(TMessage &Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    inherited::Dispatch(Message);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

// ------------------------------------------------------------ TCustomMemo

TCustomMemo::TCustomMemo(TComponent *AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    Params.Style |= ES_WANTRETURN;
    if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (!FWordWrap && (FScrollBars == ssHorizontal || FScrollBars == ssBoth)) Params.Style |= WS_HSCROLL;
    switch (FAlignment) {
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
    default: Params.Style |= ES_LEFT; break;
    }
}

// The system edit fixes these styles when its window is made.
void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

bool TCustomMemo::WantsKey(WPARAM Key) {
    // Return breaks the line; Tab moves the focus on.
    if (Key == VK_TAB) return false;
    if (Key == VK_RETURN) return true;
    return inherited::WantsKey(Key);
}

std::wstring TCustomMemo::WideText() const { return Utf8ToWide(Text()); }

void TCustomMemo::ReplaceText(std::size_t From, std::size_t To, const std::wstring &With) {
    if (HandleAllocated()) {
        // Through the window, so that its caret and scroll position follow
        // and whoever watches its messages sees the change.
        Perform(EM_SETSEL, From, static_cast<LPARAM>(To));
        Perform(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(With.c_str()));
        return;
    }
    std::wstring text = Utf8ToWide(StoredText());
    text.replace(From, To - From, With);
    SetStoredText(WideToUtf8(text));
}

// ----------------------------------------------------------- TMemoStrings

int TMemoStrings::Count() const { return static_cast<int>(SplitLines(FMemo->WideText()).size()); }

std::string TMemoStrings::Strings(int Index) const {
    const std::wstring text = FMemo->WideText();
    const auto spans = SplitLines(text);
    CheckIndex(Index, spans.size(), false);
    const TLineSpan &s = spans[static_cast<std::size_t>(Index)];
    return WideToUtf8(std::wstring_view(text).substr(s.Start, s.Length));
}

void TMemoStrings::SetStrings(int Index, const std::string &S) {
    const auto spans = SplitLines(FMemo->WideText());
    CheckIndex(Index, spans.size(), false);
    const TLineSpan &s = spans[static_cast<std::size_t>(Index)];
    FMemo->ReplaceText(s.Start, s.Start + s.Length, Utf8ToWide(S));
}

void TMemoStrings::Insert(int Index, const std::string &S) {
    const std::wstring text = FMemo->WideText();
    const auto spans = SplitLines(text);
    CheckIndex(Index, spans.size(), true);
    const std::wstring line = Utf8ToWide(S);
    if (spans.empty()) FMemo->ReplaceText(0, text.size(), line);
    else if (static_cast<std::size_t>(Index) == spans.size()) FMemo->ReplaceText(text.size(), text.size(), L"\r\n" + line);
    else {
        const std::size_t at = spans[static_cast<std::size_t>(Index)].Start;
        FMemo->ReplaceText(at, at, line + L"\r\n");
    }
}

void TMemoStrings::Delete(int Index) {
    const std::wstring text = FMemo->WideText();
    const auto spans = SplitLines(text);
    CheckIndex(Index, spans.size(), false);
    const auto i = static_cast<std::size_t>(Index);
    if (spans.size() == 1) FMemo->ReplaceText(0, text.size(), L"");
    else if (i + 1 < spans.size()) FMemo->ReplaceText(spans[i].Start, spans[i + 1].Start, L"");
    else FMemo->ReplaceText(spans[i - 1].Start + spans[i - 1].Length, text.size(), L"");  // the break before it too
}

void TMemoStrings::Clear() { FMemo->SetText(std::string()); }

void TMemoStrings::SetText(std::string_view Text) {
    // The lines as TStrings splits them, joined as the memo keeps them.
    TStringList lines;
    lines.SetText(Text);
    std::string joined;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i) joined += "\r\n";
        joined += lines.StringRef(i);
    }
    FMemo->SetText(joined);
}

void TMemoStrings::SetUpdateState(bool Updating) {
    if (!FMemo->HandleAllocated()) return;
    FMemo->Perform(WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
    if (!Updating) FMemo->Invalidate();
}

} // namespace vcl
