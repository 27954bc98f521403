#include "ScrollBar.h"

#include <algorithm>

#include "Messages.h"
#include "SysUtils.h"

namespace vcl {

VCL_PUBLISHED(TScrollBar, p) {
    p.Property("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
    p.Property("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
    p.Property("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
    p.Property("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
    p.Property("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
    p.Property("OnChange", &TScrollBar::OnChange);
}

namespace {
const bool ScrollBarRegistered = (RegisterClasses({&TScrollBar::StaticClassInfo()}), true);
} // namespace

TScrollBar::TScrollBar(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (Value == FKind) return;
    FKind = Value;
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    if (HandleAllocated()) RecreateWnd();
}

int TScrollBar::LastPosition() const { return std::max(FMin, FMax - std::max(FPageSize - 1, 0)); }

void TScrollBar::SetPageSize(int Value) {
    Value = std::clamp(Value, 0, FMax - FMin + 1);
    if (Value == FPageSize) return;
    FPageSize = Value;
    FPosition = std::clamp(FPosition, FMin, LastPosition());
    UpdateScrollInfo();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
    const int old = FPosition;
    FMin = AMin;
    FMax = AMax;
    FPageSize = std::min(FPageSize, FMax - FMin + 1);
    FPosition = std::clamp(APosition, FMin, LastPosition());
    UpdateScrollInfo();
    if (FPosition != old && OnChange) OnChange(this);
}

void TScrollBar::UpdateScrollInfo() {
    if (!HandleAllocated()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMin = FMin;
    info.nMax = FMax;
    info.nPage = static_cast<UINT>(FPageSize);
    info.nPos = FPosition;
    SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"SCROLLBAR");
    Params.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::InitializeWnd() { UpdateScrollInfo(); }

void TScrollBar::Dispatch(TMessage &Message) {
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        Scroll(Message);
        return;
    }
    inherited::Dispatch(Message);
}

void TScrollBar::Scroll(TMessage &Message) {
    const int line = 1, page = std::max(FPageSize, 1);
    int pos = FPosition;
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = FMax; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The full 32-bit position: the message carries only 16 bits.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        pos = GetScrollInfo(Handle(), SB_CTL, &info) ? info.nTrackPos : HIWORD(Message.WParam);
        break;
    }
    default: Message.Result = 0; return;
    }
    SetPosition(pos);
    Message.Result = 0;
}

} // namespace vcl
