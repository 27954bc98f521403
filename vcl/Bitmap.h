#pragma once
// TBitmap: an image in a GDI bitmap with a canvas to draw on it.
//
// A bitmap with an explicit PixelFormat (pf1bit ... pf32bit) is a DIB
// section: its pixels lie in memory, bottom-up, and ScanLine, Layout and View
// reach them directly (the stride between scan lines is negative). pfDevice,
// the format of a new bitmap, is a device-dependent bitmap in the screen's
// format (HandleType bmDDB); asking it for its pixels makes it a DIB section
// of the screen's depth first. Indexed formats carry a colour table (Palette).
//
// Changing the size keeps the pixels of the area old and new size share
// (top-left aligned); new pixels are 0. Changing the format converts every
// pixel (see CopyDibPixels). The canvas draws through a memory DC with the
// current image selected into it, made on first use and given back when the
// application goes idle (see Canvas.h). Windows only.
#include <memory>
#include <string>
#include <vector>

#include "BitmapView.h"
#include "Dib.h"
#include "GdiObjects.h"
#include "Graphic.h"

namespace vcl {

enum TBitmapHandleType { bmDIB, bmDDB };
// tmAuto takes the colour of the bottom-left pixel as the transparent colour.
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;
struct TDibImage;

class TBitmap : public TGraphic {
    VCL_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    // Copies another bitmap (format, colour table, pixels, transparency);
    // another graphic assigns itself (TGraphic::AssignTo); null empties it.
    void Assign(const TPersistent *Source) override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight) override;

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // pfCustom raises EInvalidGraphic.
    void SetPixelFormat(TPixelFormat Value);
    TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
    // bmDIB makes a device bitmap a DIB section of the screen's depth; bmDDB
    // makes any bitmap a device bitmap.
    void SetHandleType(TBitmapHandleType Value);

    // The bitmap object (null while empty), owned by this bitmap. It stays
    // selected into the canvas's DC while the canvas has one; call
    // Canvas()->FreeHandle() before selecting it into another DC.
    HBITMAP Handle() const { return FHandle.Get(); }
    // Takes over a bitmap object (a DIB section or a device bitmap); null
    // leaves the bitmap as a new one is: empty, pfDevice, no colour table.
    void SetHandle(HBITMAP Value);
    // Gives up the bitmap object to the caller; the bitmap is as new after.
    HBITMAP ReleaseHandle();

    // Built from the colour table; owned by the bitmap. Null for a bitmap
    // that has no colour table.
    HPALETTE Palette() override;
    // Copies the palette's entries into the colour table (indexed formats
    // use the first 2, 16 or 256; missing entries are black).
    void SetPalette(HPALETTE Value) override;
    const std::vector<TBGRA> &ColorTable() const { return FColorTable; }
    void SetColorTable(const std::vector<TBGRA> &Value);

    // Address of scan line Row (0 = top) of the pixel memory; raises
    // EInvalidGraphic outside 0 .. Height - 1.
    void *ScanLine(int Row);
    // Where the pixels lie, for loops over any format; empty for an empty bitmap.
    TDibLayout Layout();
    // The 32-bit view that pixel routines work on; empty unless the bitmap
    // is pf32bit and has pixels.
    TBitmapView View();

    TCanvas *Canvas();

    bool Transparent() const override { return TGraphic::Transparent(); }
    // The colour Draw leaves out when Transparent.
    TColor TransparentColor();
    // clDefault goes back to tmAuto; any other colour fixes it.
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // BMP files (see BmpFile.h). LoadFromStream reads the length the file
    // header announces, or the rest of the stream when that is wrong.
    void LoadFromStream(TStream &Stream) override;
    void SaveToStream(TStream &Stream) override;
    // A bitmap resource (RT_BITMAP) of the module; null is the program.
    void LoadFromResourceName(HINSTANCE Instance, const std::string &ResName);
    // Takes a decoded image: its format, colour table, size and pixels.
    void LoadFromDib(const TDibImage &Image);

    void Draw(TCanvas &ACanvas, const TRect &Rect) override;

protected:
    bool AssignDrawing(const TGraphic &Source) override;

private:
    friend class TBitmapCanvas;

    // Replaces the image with a new one of that format, size and colour
    // table, keeping the shared area's pixels when asked.
    void NewImage(TPixelFormat Format, int AWidth, int AHeight, bool KeepPixels, std::vector<TBGRA> Table);
    void AdoptImage(TBitmapHandle Handle, std::uint8_t *Bits, TPixelFormat Format, int AWidth, int AHeight,
                    bool TopDown);
    void CanvasChanged(TObject *Sender);

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    std::vector<TBGRA> FColorTable;
    TBitmapHandle FHandle;
    std::uint8_t *FBits = nullptr;  // the DIB section's memory; null for device bitmaps
    bool FTopDown = false;          // only DIB sections handed to SetHandle are
    TPaletteHandle FPalette;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

} // namespace vcl
