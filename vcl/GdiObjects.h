#pragma once
// Owners for GDI handles: each handle belongs to exactly one of these, which
// gives it back to the system when it goes, and is counted while it is held
// (HandleCounts.h). Windows only.
#include <windows.h>

#include <utility>

#include "HandleCounts.h"

namespace vcl {

// Owns one handle and gives it back with Free when it goes. Release hands
// the handle (and its count) to the caller.
template <class H, auto Free> class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(H handle) : FHandle(handle) { Count(FHandle, 1); }
    TOwnedHandle(TOwnedHandle &&other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    TOwnedHandle &operator=(TOwnedHandle &&other) noexcept {
        if (this != &other) {
            Reset();
            FHandle = std::exchange(other.FHandle, nullptr);
        }
        return *this;
    }
    TOwnedHandle(const TOwnedHandle &) = delete;
    TOwnedHandle &operator=(const TOwnedHandle &) = delete;
    ~TOwnedHandle() { Reset(); }

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    H Release() {
        Count(FHandle, -1);
        return std::exchange(FHandle, nullptr);
    }
    void Reset(H handle = nullptr) {
        if (FHandle) {
            Free(FHandle);
            Count(FHandle, -1);
        }
        FHandle = handle;
        Count(FHandle, 1);
    }

private:
    static void Count(H handle, int delta) {
        if (handle) CountHandle(THandleKind::GdiObject, delta);
    }

    H FHandle = nullptr;
};

// A GDI object (font, brush, pen, bitmap, palette, region). Stock objects
// are never put in one: they are not ours to delete.
template <class H> using TGdiObject = TOwnedHandle<H, DeleteObject>;

using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TPaletteHandle = TGdiObject<HPALETTE>;
using TRegionHandle = TGdiObject<HRGN>;
// An icon or cursor.
using TIconHandle = TOwnedHandle<HICON, DestroyIcon>;

// Gives Region to Window (SetWindowRgn; an empty one takes the window's
// region away). The system owns a region it took; one it refused (the
// window is gone) is freed here. True when the window took it.
inline bool SetWindowRegion(HWND Window, TRegionHandle Region, bool Redraw) {
    if (!SetWindowRgn(Window, Region.Get(), Redraw)) return false;
    Region.Release();
    return true;
}

// A memory DC of our own (CreateCompatibleDC / DeleteDC).
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatibleWith = nullptr) : FDC(CreateCompatibleDC(compatibleWith)) {
        if (FDC) CountHandle(THandleKind::DC, 1);
    }
    TMemoryDC(TMemoryDC &&other) noexcept : FDC(std::exchange(other.FDC, nullptr)) {}
    TMemoryDC &operator=(TMemoryDC &&) = delete;
    TMemoryDC(const TMemoryDC &) = delete;
    TMemoryDC &operator=(const TMemoryDC &) = delete;
    ~TMemoryDC() {
        if (!FDC) return;
        DeleteDC(FDC);
        CountHandle(THandleKind::DC, -1);
    }

    HDC Get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HDC FDC;
};

// A window's DC, or the screen's for no window (GetDC / ReleaseDC); or a
// DC of the window that the caller got otherwise (GetDCEx, GetWindowDC) and
// that ReleaseDC gives back.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : TWindowDC(window, GetDC(window)) {}
    TWindowDC(HWND window, HDC dc) : FWindow(window), FDC(dc) {
        if (FDC) CountHandle(THandleKind::DC, 1);
    }
    TWindowDC(const TWindowDC &) = delete;
    TWindowDC &operator=(const TWindowDC &) = delete;
    ~TWindowDC() {
        if (!FDC) return;
        ReleaseDC(FWindow, FDC);
        CountHandle(THandleKind::DC, -1);
    }

    HDC Get() const { return FDC; }
    HWND Window() const { return FWindow; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HWND FWindow;
    HDC FDC;
};

// The DC of a WM_PAINT: the one the message brings (not owned), or
// BeginPaint's, ended with EndPaint.
class TPaintDC {
public:
    TPaintDC(HWND window, HDC given) : FWindow(given ? nullptr : window), FDC(given) {
        if (FDC) return;
        FDC = BeginPaint(FWindow, &FPaint);
        CountHandle(THandleKind::DC, 1);
    }
    TPaintDC(const TPaintDC &) = delete;
    TPaintDC &operator=(const TPaintDC &) = delete;
    ~TPaintDC() {
        if (!FWindow) return;
        EndPaint(FWindow, &FPaint);
        CountHandle(THandleKind::DC, -1);
    }

    HDC Get() const { return FDC; }

private:
    HWND FWindow;  // set only when BeginPaint was called
    HDC FDC;
    PAINTSTRUCT FPaint{};
};

// Selects an object into a DC and selects the previous one back on
// destruction, so that the object can be deleted afterwards.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FPrevious(object ? SelectObject(dc, object) : nullptr) {}
    TSelectObject(const TSelectObject &) = delete;
    TSelectObject &operator=(const TSelectObject &) = delete;
    ~TSelectObject() { if (FPrevious) SelectObject(FDC, FPrevious); }

private:
    HDC FDC;
    HGDIOBJ FPrevious;
};

// Saves a DC's state (SaveDC) and restores it on destruction.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    TSavedDC(const TSavedDC &) = delete;
    TSavedDC &operator=(const TSavedDC &) = delete;
    ~TSavedDC() { if (FSaved) RestoreDC(FDC, FSaved); }

private:
    HDC FDC;
    int FSaved;
};

} // namespace vcl
