#include "Graphic.h"

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
    auto *graphic = dynamic_cast<TGraphic *>(Dest);
    if (!graphic || !graphic->AssignDrawing(*this))
        inherited::AssignTo(Dest);
}

void TGraphic::Progress(TObject *Sender, TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                        const TRect &R, const std::string &Msg) {
    if (OnProgress)
        OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange)
        OnChange(this);
}

} // namespace vcl
