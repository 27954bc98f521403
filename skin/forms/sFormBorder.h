#pragma once
// The form provider as the owner of its extended border form: what the
// border form asks of a skinned form (its window, margins, frame image,
// caption buttons, client area) answered from the provider. The provider
// holds one of these while extended borders apply (TsSkinProvider::
// UpdateExtBorders); the border form itself is vlBorderForm.h.
//
// The frame inside the border has the skin's own border width and caption
// height; it covers the form's native frame and reaches beyond it by the
// excesses, and the border window adds the shadow margins around it.
// Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "vcl/BitmapView.h"
#include "vlBorderForm.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinProvider;

class TsFormBorder : public TvlBorderOwner {
public:
    explicit TsFormBorder(TsSkinProvider &Provider);
    ~TsFormBorder() override;
    TsFormBorder(const TsFormBorder &) = delete;
    TsFormBorder &operator=(const TsFormBorder &) = delete;

    TvlBorderForm &Border() { return *FBorder; }
    const TvlBorderForm &Border() const { return *FBorder; }

    HWND BorderOwnerWindow() const override;
    vcl::TCustomForm *BorderOwnerForm() const override;
    TsSkinManager *BorderSkinManager() const override;
    vcl::TRect BorderShadowMargins() const override;
    vcl::TPoint BorderOffset() const override;
    int BorderCaptionHeight() const override;
    int BorderNativeCaptionHeight() const override;
    int BorderNativeBorderWidth() const override;
    int BorderOwnerWidth() const override;
    int BorderSideExcess() const override;
    vcl::TRect BorderIconRect() const override;
    std::uint32_t BorderStateFlags() const override;
    vcl::TBitmap *BorderFrameImage() override;
    int BorderButtonCode(vcl::TPoint P) override;
    void SetBorderHotButton(int Code, bool Repaint) override;
    vcl::TRect BorderClientRect() const override;
    vcl::TRect BorderHoleRect() const override;
    bool BorderOverGrip(vcl::TPoint P) const override;
    void BorderExtHitTest(vcl::TMessage &Message) override;
    bool BorderBlendedMove() override;
    bool BorderBlendedMoveFromMaximized() override;
    void BorderPosChanging(WINDOWPOS &Pos) override;
    void BorderMoved() override;
    bool BorderFreeFades() override;
    bool BorderStayOnTopPlace(HWND &InsertAfter) const override;
    bool BorderPaintClientInto(vcl::TBitmap &Image) override;
    void BorderUpdateGuards(TvlBorderUpdateState &State) const override;
    void BorderRemove() override;
    void BorderWindowFreed() override;
    bool BorderStayOnTopActive() const override;
    void BorderEndOutlineDrag() override;
    void BorderCaptionDoubleClick(LPARAM At) override;
    void BorderItemDoubleClick(int Code, LPARAM At) override;

private:
    // The provider's blended move when Blends says the drag blends.
    bool StartBlendedMove(bool (*Blends)(const TvlDragBlend &));

    TsSkinProvider &FProvider;
    std::unique_ptr<TvlBorderForm> FBorder;
};

// Where the skin's extended-border image is cut into nine parts: at the
// skin's extended-border mask, else in the image's middle.
vcl::TRect ExtBorderSlices(const TsSkinManager &M, const vcl::TBitmap &Image);

// The skin's shadow around a frame image: Shadow (straight alpha) laid as
// nine slices, cut at Slices, over the margins of Image outside Frame,
// premultiplied for a layered window. The frame itself is made opaque,
// except its key-colour pixels and the pixels of Corners (the transparent
// corners of the skin's masks), where the shadow shows.
void PaintFrameShadow(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const vcl::TBitmapView &Shadow,
                      const vcl::TRect &Slices, const std::vector<vcl::TRect> &Corners = {});

} // namespace skin
