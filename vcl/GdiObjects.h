#pragma once
// Owners for GDI handles: each handle belongs to exactly one of these, which
// gives it back to the system when it goes. Windows only.
#include <windows.h>

#include <utility>

namespace vcl {

// Owns a GDI object (font, brush, pen, bitmap, palette, region) and deletes
// it. Stock objects are never put in one: they are not ours to delete.
template <class H> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : FHandle(handle) {}
    TGdiObject(TGdiObject &&other) noexcept : FHandle(other.Release()) {}
    TGdiObject &operator=(TGdiObject &&other) noexcept { Reset(other.Release()); return *this; }
    TGdiObject(const TGdiObject &) = delete;
    TGdiObject &operator=(const TGdiObject &) = delete;
    ~TGdiObject() { Reset(); }

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    H Release() { return std::exchange(FHandle, nullptr); }
    void Reset(H handle = nullptr) { if (FHandle) DeleteObject(FHandle); FHandle = handle; }

private:
    H FHandle = nullptr;
};

using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TPaletteHandle = TGdiObject<HPALETTE>;
using TRegionHandle = TGdiObject<HRGN>;

// Owns an icon or cursor handle (DestroyIcon).
class TIconHandle {
public:
    TIconHandle() = default;
    explicit TIconHandle(HICON handle) : FHandle(handle) {}
    TIconHandle(TIconHandle &&other) noexcept : FHandle(other.Release()) {}
    TIconHandle &operator=(TIconHandle &&other) noexcept { Reset(other.Release()); return *this; }
    TIconHandle(const TIconHandle &) = delete;
    TIconHandle &operator=(const TIconHandle &) = delete;
    ~TIconHandle() { Reset(); }

    HICON Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    HICON Release() { return std::exchange(FHandle, nullptr); }
    void Reset(HICON handle = nullptr) { if (FHandle) DestroyIcon(FHandle); FHandle = handle; }

private:
    HICON FHandle = nullptr;
};

// A memory DC of our own (CreateCompatibleDC / DeleteDC).
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatibleWith = nullptr) : FDC(CreateCompatibleDC(compatibleWith)) {}
    TMemoryDC(TMemoryDC &&other) noexcept : FDC(std::exchange(other.FDC, nullptr)) {}
    TMemoryDC &operator=(TMemoryDC &&) = delete;
    TMemoryDC(const TMemoryDC &) = delete;
    TMemoryDC &operator=(const TMemoryDC &) = delete;
    ~TMemoryDC() { if (FDC) DeleteDC(FDC); }

    HDC Get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HDC FDC;
};

// A window's DC, or the screen's for no window (GetDC / ReleaseDC).
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : FWindow(window), FDC(GetDC(window)) {}
    TWindowDC(const TWindowDC &) = delete;
    TWindowDC &operator=(const TWindowDC &) = delete;
    ~TWindowDC() { if (FDC) ReleaseDC(FWindow, FDC); }

    HDC Get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HWND FWindow;
    HDC FDC;
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
