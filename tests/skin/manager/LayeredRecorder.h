#pragma once
// A recording seam over the layered-window calls (Xvfb shows no blending,
// so what reaches them is what a test can check): each UpdateLayeredWindow
// is recorded with its window, size, where the window lies, the window just
// below it, its extended style, the constant alpha, a digest of the source
// pixels (and the pixels when asked) and the time, then passed on to the
// system. Without layered windows the seam stands in for a system that has
// none. Windows only.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "skin/graphics/vlGraphUtils.h"

namespace skin::test {

struct LayeredCall {
    HWND Window = nullptr;
    SIZE Size{};
    RECT WindowRect{};     // the window's rectangle when the call came
    bool Placed = false;   // a destination point was given
    POINT Place{};
    HWND Below = nullptr;  // GW_HWNDNEXT of the window
    LONG_PTR ExStyle = 0;
    bool CentreShown = true;  // the window's region (if any) holds its centre
    int Alpha = -1;
    std::uint32_t Digest = 0;
    std::vector<std::uint32_t> Pixels;  // top-down, when kept
    double Ms = 0;                      // since the recorder started
    DWORD Tick = 0;                     // GetTickCount at the call
};

class LayeredRecorder {
public:
    enum TMode { Forward, NoLayeredWindows };
    explicit LayeredRecorder(TMode Mode = Forward, bool KeepPixels = false)
        : FOverride(Mode == Forward ? TLayeredWindowFunctions{&Update, &SetAttributes}
                                    : TLayeredWindowFunctions{nullptr, nullptr}) {
        Calls.clear();
        Attributes.clear();
        Keep = KeepPixels;
        Start = std::chrono::steady_clock::now();
    }

    static inline std::vector<LayeredCall> Calls;
    static inline std::vector<std::pair<HWND, int>> Attributes;  // SetLayeredWindowAttributes: window, alpha

    // The calls of one window, in order.
    static std::vector<LayeredCall> Of(HWND Window) {
        std::vector<LayeredCall> of;
        for (const LayeredCall &c : Calls)
            if (c.Window == Window) of.push_back(c);
        return of;
    }
    static std::vector<int> AlphasOf(HWND Window) {
        std::vector<int> alphas;
        for (const LayeredCall &c : Calls)
            if (c.Window == Window) alphas.push_back(c.Alpha);
        return alphas;
    }
    // The windows that got calls, in the order of their first one.
    static std::vector<HWND> Windows() {
        std::vector<HWND> windows;
        for (const LayeredCall &c : Calls) {
            bool seen = false;
            for (HWND w : windows) seen = seen || w == c.Window;
            if (!seen) windows.push_back(c.Window);
        }
        return windows;
    }

private:
    static inline bool Keep = false;
    static inline std::chrono::steady_clock::time_point Start;

    // FNV-1a over the source pixels the call shows (32-bit DIB sections).
    static void ReadSource(HDC Source, const POINT *From, SIZE Size, LayeredCall &Call) {
        DIBSECTION dib{};
        const auto bitmap = static_cast<HBITMAP>(GetCurrentObject(Source, OBJ_BITMAP));
        if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits ||
            dib.dsBm.bmBitsPixel != 32)
            return;
        const int x0 = From ? From->x : 0, y0 = From ? From->y : 0;
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        std::uint32_t h = 2166136261u;
        for (int y = y0; y < y0 + Size.cy && y < dib.dsBm.bmHeight; ++y) {
            const int row = bottomUp ? dib.dsBm.bmHeight - 1 - y : y;
            const auto *line = reinterpret_cast<const std::uint32_t *>(static_cast<const std::uint8_t *>(dib.dsBm.bmBits) +
                                                                       row * dib.dsBm.bmWidthBytes);
            for (int x = x0; x < x0 + Size.cx && x < dib.dsBm.bmWidth; ++x) {
                const std::uint32_t p = line[x];
                for (int b = 0; b < 4; ++b) h = (h ^ ((p >> (8 * b)) & 0xFF)) * 16777619u;
                if (Keep) Call.Pixels.push_back(p);
            }
        }
        Call.Digest = h;
    }

    static BOOL WINAPI Update(HWND W, HDC Screen, POINT *Dst, SIZE *Size, HDC Src, POINT *SrcPt, COLORREF Key,
                              BLENDFUNCTION *Blend, DWORD Flags) {
        LayeredCall c;
        c.Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
        c.Tick = GetTickCount();
        c.Window = W;
        if (Size) c.Size = *Size;
        GetWindowRect(W, &c.WindowRect);
        if (Dst) c.Placed = true, c.Place = *Dst;
        c.Below = GetWindow(W, GW_HWNDNEXT);
        c.ExStyle = GetWindowLongPtrW(W, GWL_EXSTYLE);
        if (const HRGN region = CreateRectRgn(0, 0, 0, 0)) {
            if (GetWindowRgn(W, region) != ERROR)
                c.CentreShown = PtInRegion(region, (c.WindowRect.right - c.WindowRect.left) / 2,
                                           (c.WindowRect.bottom - c.WindowRect.top) / 2);
            DeleteObject(region);
        }
        c.Alpha = Blend ? Blend->SourceConstantAlpha : -1;
        if (Src && Size) ReadSource(Src, SrcPt, *Size, c);
        Calls.push_back(std::move(c));
        return BoundLayeredWindowFunctions().UpdateLayeredWindow(W, Screen, Dst, Size, Src, SrcPt, Key, Blend, Flags);
    }

    static BOOL WINAPI SetAttributes(HWND W, COLORREF Key, BYTE Alpha, DWORD Flags) {
        Attributes.emplace_back(W, Alpha);
        return BoundLayeredWindowFunctions().SetLayeredWindowAttributes(W, Key, Alpha, Flags);
    }

    TLayeredWindowFunctionsOverride FOverride;
};

} // namespace skin::test
