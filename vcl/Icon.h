#pragma once
// TIcon: an icon (HICON) as a graphic. Loads .ico data, picking the image
// that fits the wanted size best, and draws with the icon's own
// transparency. Windows only.
#include <cstdint>
#include <vector>

#include "GdiObjects.h"
#include "Graphic.h"

namespace vcl {

class TIcon : public TGraphic {
    VCL_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;

    // Copies another icon (a copy of its handle and its file data); null empties it.
    void Assign(const TPersistent *Source) override;

    bool Empty() const override { return !FHandle; }
    int Width() const override { return FHandle ? FWidth : FWantedWidth; }
    int Height() const override { return FHandle ? FHeight : FWantedHeight; }
    // While empty: the size wanted of the next LoadFromStream (the system's
    // icon size by default). An icon once loaded keeps its size: raises
    // EInvalidGraphic.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Transparent() const override { return true; }

    HICON Handle() const { return FHandle.Get(); }
    // Takes over an icon handle.
    void SetHandle(HICON Value);
    // Gives the handle to the caller; the icon is empty after.
    HICON ReleaseHandle();

    // .ico data: a directory and its images (DIB or PNG). Damaged data
    // raises EInvalidGraphic and leaves the icon as it was.
    void LoadFromStream(TStream &Stream) override;
    // The data loaded, byte for byte; an icon made from a handle is written
    // as one 32-bit image with its mask.
    void SaveToStream(TStream &Stream) override;

    void Draw(TCanvas &ACanvas, const TRect &Rect) override;

private:
    void Adopt(TIconHandle Handle, std::vector<std::uint8_t> Data);

    TIconHandle FHandle;
    int FWidth = 0;
    int FHeight = 0;
    int FWantedWidth;
    int FWantedHeight;
    std::vector<std::uint8_t> FData;  // the .ico bytes it was loaded from, if any
};

} // namespace vcl
