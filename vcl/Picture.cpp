#include "Picture.h"

#include <algorithm>

#include "Bitmap.h"
#include "Icon.h"
#include "Jpeg.h"
#include "SysUtils.h"

namespace vcl {

VCL_CLASS_INFO(TPicture)

namespace {

struct TFileFormat {
    std::string Extension;  // lower case, without the dot
    std::string Description;
    const TClassInfo *GraphicClass;
};

std::string NormalExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    return LowerCase(extension);
}

// The registry of file formats, newest first. The class library's own
// graphics are in it from the start.
std::vector<TFileFormat> &Registry() {
    static std::vector<TFileFormat> formats = {
        {"bmp", "Bitmaps", &TBitmap::StaticClassInfo()},
        {"ico", "Icons", &TIcon::StaticClassInfo()},
        {"jpg", "JPEG images", &TJPEGImage::StaticClassInfo()},
        {"jpeg", "JPEG images", &TJPEGImage::StaticClassInfo()},
    };
    return formats;
}

// The graphic class of a stored picture's class name.
const TClassInfo *GraphicClassNamed(const std::string &name) {
    for (const TFileFormat &format : Registry())
        if (format.GraphicClass->Name == name)
            return format.GraphicClass;
    const TClassInfo *known = GetClass(name);
    if (known && known->InheritsFrom(TGraphic::StaticClassInfo()))
        return known;
    return nullptr;
}

} // namespace

std::unique_ptr<TGraphic> CreateGraphic(const TClassInfo &GraphicClass) {
    if (!GraphicClass.InheritsFrom(TGraphic::StaticClassInfo()) || !GraphicClass.Create)
        throw EInvalidGraphic("The class " + GraphicClass.Name + " is no graphic that can be created");
    std::unique_ptr<TObject> object(GraphicClass.Create(nullptr));
    TGraphic *graphic = dynamic_cast<TGraphic *>(object.get());
    if (!graphic)
        throw EInvalidGraphic("The class " + GraphicClass.Name + " is no graphic that can be created");
    object.release();
    return std::unique_ptr<TGraphic>(graphic);
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Adopt(std::unique_ptr<TGraphic> Graphic) {
    if (Graphic)
        Graphic->OnChange = TNotifyEvent::Bind<&TPicture::Changed>(this);
    FGraphic = std::move(Graphic);
    Changed(this);
}

void TPicture::Changed(TObject *) {
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(const TGraphic *Value) {
    if (Value == FGraphic.get())
        return;
    std::unique_ptr<TGraphic> copy;
    if (Value) {
        copy = CreateGraphic(Value->ClassInfo());
        copy->Assign(Value);
    }
    Adopt(std::move(copy));
}

void TPicture::Assign(const TPersistent *Source) {
    if (!Source)
        SetGraphic(nullptr);
    else if (const TPicture *picture = dynamic_cast<const TPicture *>(Source))
        SetGraphic(picture->Graphic());
    else if (const TGraphic *graphic = dynamic_cast<const TGraphic *>(Source))
        SetGraphic(graphic);
    else
        inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent *Dest) const {
    if (TGraphic *graphic = dynamic_cast<TGraphic *>(Dest))
        graphic->Assign(FGraphic.get());
    else
        inherited::AssignTo(Dest);
}

TBitmap *TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap *>(FGraphic.get()))
        Adopt(std::make_unique<TBitmap>());
    return static_cast<TBitmap *>(FGraphic.get());
}

TIcon *TPicture::Icon() {
    if (!dynamic_cast<TIcon *>(FGraphic.get()))
        Adopt(std::make_unique<TIcon>());
    return static_cast<TIcon *>(FGraphic.get());
}

void TPicture::LoadFromFile(const std::string &FileName) {
    const std::string extension = NormalExtension(ExtractFileExt(FileName));
    const TClassInfo *graphicClass = FileFormatClass(extension);
    if (!graphicClass)
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    std::unique_ptr<TGraphic> graphic = CreateGraphic(*graphicClass);
    graphic->LoadFromFile(FileName);
    Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const std::string &FileName) {
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler &Filer) {
    inherited::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream &Stream) { ReadData(Stream); }, [this](TStream &Stream) { WriteData(Stream); },
        FGraphic && !FGraphic->Empty());
}

void TPicture::ReadData(TStream &Stream) {
    std::uint8_t length = 0;
    Stream.ReadBuffer(&length, 1);
    std::string name(length, '\0');
    Stream.ReadBuffer(name.data(), name.size());
    if (name.empty()) {
        Adopt(nullptr);
        return;
    }
    const TClassInfo *graphicClass = GraphicClassNamed(name);
    if (!graphicClass)
        throw EInvalidGraphic("The stored picture is of an unknown graphic class " + name);
    std::unique_ptr<TGraphic> graphic = CreateGraphic(*graphicClass);
    graphic->ReadData(Stream);
    Adopt(std::move(graphic));
}

void TPicture::WriteData(TStream &Stream) {
    const std::string name = FGraphic ? FGraphic->ClassName() : std::string();
    if (name.size() > 255)
        throw EInvalidGraphic("The graphic class name " + name + " is too long to be stored");
    const std::uint8_t length = static_cast<std::uint8_t>(name.size());
    Stream.WriteBuffer(&length, 1);
    Stream.WriteBuffer(name.data(), name.size());
    if (FGraphic)
        FGraphic->WriteData(Stream);
}

void TPicture::RegisterFileFormat(const std::string &Extension, const std::string &Description,
                                  const TClassInfo &GraphicClass) {
    if (!GraphicClass.InheritsFrom(TGraphic::StaticClassInfo()))
        throw EInvalidGraphic("The class " + GraphicClass.Name + " is no graphic");
    std::vector<TFileFormat> &formats = Registry();
    formats.insert(formats.begin(), TFileFormat{NormalExtension(Extension), Description, &GraphicClass});
}

void TPicture::UnregisterGraphicClass(const TClassInfo &GraphicClass) {
    std::vector<TFileFormat> &formats = Registry();
    std::erase_if(formats, [&](const TFileFormat &f) { return f.GraphicClass->InheritsFrom(GraphicClass); });
}

const TClassInfo *TPicture::FileFormatClass(const std::string &Extension) {
    const std::string extension = NormalExtension(Extension);
    for (const TFileFormat &format : Registry())
        if (format.Extension == extension)
            return format.GraphicClass;
    return nullptr;
}

} // namespace vcl
