#include "Graphic.h"

#include "Bitmap.h"
#include "Canvas.h"

namespace vcl {

VCL_CLASS_INFO(TGraphic)

void TGraphic::SetSize(int AWidth, int AHeight) {
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

void TGraphic::LoadFromFile(const std::string &FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string &FileName) {
    TMemoryStream image;
    SaveToStream(image);
    TFileStream file(FileName, fmCreate);
    image.SaveToStream(file);
}

void TGraphic::DefineProperties(TFiler &Filer) {
    inherited::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream &Stream) { ReadData(Stream); }, [this](TStream &Stream) { WriteData(Stream); },
        !Empty());
}

void TGraphic::AssignTo(TPersistent *Dest) const {
    TBitmap *bitmap = dynamic_cast<TBitmap *>(Dest);
    if (!bitmap) {
        inherited::AssignTo(Dest);
        return;
    }
    bitmap->SetSize(Width(), Height());
    if (bitmap->Empty())
        return;
    const TRect whole = Rect(0, 0, Width(), Height());
    bitmap->Canvas()->FillRect(whole);
    // Drawing only reads the graphic, though it may make a canvas of its own on the way.
    const_cast<TGraphic *>(this)->Draw(*bitmap->Canvas(), whole);
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange)
        OnChange(this);
}

} // namespace vcl
