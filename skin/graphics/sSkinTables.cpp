#include "sSkinTables.h"

#ifdef _WIN32
#include "vcl/Bitmap.h"
#endif

namespace skin {

TsSkinTables *DefaultSkinManager = nullptr;

TsSkinTables::TsSkinTables() { StdSectionIndexes.fill(-1); }

TsSkinTables::~TsSkinTables() {
    if (DefaultSkinManager == this) DefaultSkinManager = nullptr;
}

bool TsSkinTables::IsValidMaskIndex(int Index) const {
    return Index >= 0 && static_cast<std::size_t>(Index) < Masks.size();
}

bool TsSkinTables::IsValidSectionIndex(int Index) const {
    return Index >= 0 && static_cast<std::size_t>(Index) < Sections.size();
}

vcl::TBitmapView TsSkinTables::MasterImage() const { return BitmapPixels(MasterBitmap.get()); }

TsSkinTables *ManagerOrDefault(TsSkinTables *Manager) { return Manager ? Manager : DefaultSkinManager; }

vcl::TBitmapView TsSkinTables::MaskPixels(const TsMaskData &Mask) const {
    return Mask.Bmp ? BitmapPixels(Mask.Bmp.get()) : MasterImage();
}

vcl::TBitmapView MaskImage(const TsMaskData &Mask) {
    return Mask.Manager ? Mask.Manager->MaskPixels(Mask) : BitmapPixels(Mask.Bmp.get());
}

vcl::TBitmapView BitmapPixels(vcl::TBitmap *Bitmap) {
#ifdef _WIN32
    if (Bitmap) return Bitmap->View();
#else
    (void)Bitmap;  // no bitmap of the class library exists here
#endif
    return {};
}

} // namespace skin
