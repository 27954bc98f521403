#include "Dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ExtCtrls.h"
#include "Icon.h"
#include "StdCtrls.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TMessageForm)

namespace {

struct TButtonKind {
    const char *Name;
    const char *Caption;
    TModalResult Result;
};

// In the order of TMsgDlgBtn, which is also the order on the form.
const TButtonKind ButtonKinds[] = {
    {"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},
    {"OK", "OK", mrOk},           {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll}, {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
};

const char *const Captions[] = {"Warning", "Error", "Information", "Confirm", nullptr};

LPCWSTR IconOf(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning: return IDI_WARNING;
    case mtError: return IDI_ERROR;
    case mtInformation: return IDI_INFORMATION;
    case mtConfirmation: return IDI_QUESTION;
    default: return nullptr;
    }
}

// The font the system uses for message boxes: it has the glyphs of the
// user's language.
void UseMessageFont(TFont *Font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
    Font->SetName(WideToUtf8(metrics.lfMessageFont.lfFaceName));
    Font->SetHeight(metrics.lfMessageFont.lfHeight);
}

// The client width that shows the whole caption beside the close button.
int CaptionClientWidth(const std::string &Caption) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return 0;
    TFontHandle font(CreateFontIndirectW(&metrics.lfCaptionFont));
    TWindowDC screen;
    TSelectObject selected(screen.Get(), font.Get());
    const std::wstring text = Utf8ToWide(Caption);
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx + 2 * metrics.iCaptionWidth + 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
}

std::string ProgramName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return WideToUtf8(name.substr(0, name.find_last_of(L'.')));
}

} // namespace

TMessageForm::TMessageForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    UseMessageFont(Font());
}

TMessageForm *CreateMessageDialog(const std::string &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    std::unique_ptr<TMessageForm> form(Create<TMessageForm>(Application));
    if (Captions[DlgType]) form->SetCaption(Captions[DlgType]);
    else form->SetCaption(Application->Title().empty() ? ProgramName() : Application->Title());

    // Sizes in units of the font, as dialogs are laid out: a quarter of the
    // average character width across, an eighth of the line height down.
    TWindowDC screenDC;
    HDC screen = screenDC.Get();
    TSelectObject font(screen, form->Font()->Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(screen, &tm);
    SIZE alphabet{};
    GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    const int avg = (alphabet.cx + 51) / 52;
    auto dluX = [&](int n) { return MulDiv(n, avg, 4); };
    auto dluY = [&](int n) { return MulDiv(n, tm.tmHeight, 8); };
    const int hMargin = dluX(8);
    const int vMargin = dluY(8);
    const int spacing = dluX(4);

    const std::wstring text = Utf8ToWide(Msg);
    RECT textRect{0, 0, Screen->Width() / 2, 0};
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);

    const LPCWSTR iconName = IconOf(DlgType);
    const int iconSize = iconName ? GetSystemMetrics(SM_CXICON) : 0;
    const int textLeft = hMargin + (iconName ? iconSize + hMargin : 0);
    const int contentHeight = std::max<int>(textRect.bottom, iconSize);

    std::vector<TMsgDlgBtn> kinds;
    int buttonWidth = dluX(50);
    for (int b = mbYes; b <= mbHelp; ++b) {
        if (!Buttons.Contains(static_cast<TMsgDlgBtn>(b))) continue;
        kinds.push_back(static_cast<TMsgDlgBtn>(b));
        const std::wstring caption = Utf8ToWide(ButtonKinds[b].Caption);
        RECT r{0, 0, 0, 0};
        DrawTextW(screen, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right + dluX(8));
    }
    const int buttonHeight = dluY(14);
    const int count = static_cast<int>(kinds.size());
    const int buttonsWidth = count * buttonWidth + std::max(0, count - 1) * spacing;
    const int clientWidth = std::max({textLeft + static_cast<int>(textRect.right) + hMargin, buttonsWidth + 2 * hMargin,
                                      std::min(CaptionClientWidth(form->Caption()), Screen->Width() / 2)});
    const int clientHeight = vMargin + contentHeight + vMargin + (count ? buttonHeight + vMargin : 0);
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(clientHeight);

    if (iconName) {
        auto *image = Create<TImage>(form.get());
        image->SetName("Image");
        // A copy: the icon object destroys the handle it holds, and the
        // system's own icons are shared.
        image->Picture()->Icon()->SetHandle(CopyIcon(LoadIconW(nullptr, iconName)));
        image->SetBounds(hMargin, vMargin, iconSize, iconSize);
        image->SetParent(form.get());
    }

    auto *label = Create<TLabel>(form.get());
    label->SetName("Message");
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetShowAccelChar(false);
    label->SetBounds(textLeft, vMargin, textRect.right, textRect.bottom);
    label->SetCaption(Msg);
    label->SetParent(form.get());
    form->FMessage = label;

    const TMsgDlgBtn defaultKind = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes
                                   : count ? kinds.front() : mbOK;
    const TMsgDlgBtn cancelKind = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = (clientWidth - buttonsWidth) / 2;
    const int y = vMargin + contentHeight + vMargin;
    for (TMsgDlgBtn kind : kinds) {
        auto *button = Create<TButton>(form.get());
        button->SetName(ButtonKinds[kind].Name);
        button->SetCaption(ButtonKinds[kind].Caption);
        button->SetModalResult(ButtonKinds[kind].Result);
        button->SetDefault(kind == defaultKind);
        button->SetCancel(kind == cancelKind);
        button->SetBounds(x, y, buttonWidth, buttonHeight);
        button->SetParent(form.get());
        if (kind == defaultKind) form->SetActiveControl(button);
        x += buttonWidth + spacing;
    }
    return form.release();
}

int MessageDlg(const std::string &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    std::unique_ptr<TMessageForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
    return form->ShowModal();
}

void ShowMessage(const std::string &Msg) { MessageDlg(Msg, mtCustom, TMsgDlgButtons{mbOK}, 0); }

// The application's default error dialog lives here, with the message forms
// it is made of, so that the forms module needs nothing of this one.
void TApplication::ShowException(const Exception &E) { MessageDlg(E.Message(), mtError, {mbOK}, 0); }

} // namespace vcl
