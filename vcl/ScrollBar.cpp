#include "ScrollBar.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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

namespace {

// Max - Min + 1 in 64 bits, capped at what a page can hold: over the full
// 32-bit span the sum does not fit an int.
int PageLimit(int Min, int Max) {
    return static_cast<int>(std::min<std::int64_t>(std::int64_t{Max} - Min + 1, INT_MAX));
}

} // namespace

int TScrollBar::LastPosition() const {
    return static_cast<int>(std::max<std::int64_t>(FMin, std::int64_t{FMax} - std::max(FPageSize - 1, 0)));
}

void TScrollBar::SetPageSize(int Value) {
    Value = std::clamp(Value, 0, PageLimit(FMin, FMax));
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
    FPageSize = std::min(FPageSize, PageLimit(FMin, FMax));
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
    // In 64 bits, so that a page beyond either end stops there.
    const std::int64_t line = 1, page = std::max(FPageSize, 1);
    std::int64_t pos = FPosition;
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
    SetPosition(static_cast<int>(std::clamp<std::int64_t>(pos, FMin, FMax)));
    Message.Result = 0;
}

} // namespace vcl
