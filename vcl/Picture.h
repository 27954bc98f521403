#pragma once
// TPicture: holds one graphic of any registered class and chooses that class
// by file extension when it loads a file. Graphic classes register with
// RegisterFileFormat; "bmp" (TBitmap), "ico" (TIcon), "jpg" and "jpeg"
// (TJPEGImage) are known from the start.
//
// A picture stored in a form description keeps its graphic in the binary
// block "Data": one byte with the length of the graphic's class name, the
// name, then the graphic's own file format. Windows only.
#include <memory>
#include <string>

#include "Graphic.h"

namespace vcl {

class TBitmap;
class TIcon;

class TPicture : public TPersistent {
    VCL_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    // From a picture or a graphic: a copy of the graphic, of the same class;
    // null leaves the picture without a graphic.
    void Assign(const TPersistent *Source) override;

    // The graphic, owned by the picture; null when there is none.
    TGraphic *Graphic() const { return FGraphic.get(); }
    void SetGraphic(const TGraphic *Value);
    // The graphic as a bitmap (or icon): any graphic of another kind is
    // replaced by an empty one first.
    TBitmap *Bitmap();
    TIcon *Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // The class registered for the file's extension loads it. An unknown
    // extension or a damaged file raises, and the picture keeps its graphic.
    void LoadFromFile(const std::string &FileName);
    void SaveToFile(const std::string &FileName);

    void DefineProperties(TFiler &Filer) override;

    // Registers a graphic class for an extension (with or without the dot,
    // any case). The latest registration of an extension wins.
    static void RegisterFileFormat(const std::string &Extension, const std::string &Description,
                                   const TClassInfo &GraphicClass);
    // Forgets every extension of the class and of the classes derived from it.
    static void UnregisterGraphicClass(const TClassInfo &GraphicClass);
    // The class registered for an extension; null when none is.
    static const TClassInfo *FileFormatClass(const std::string &Extension);

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent *Dest) const override;
    virtual void Changed(TObject *Sender);

private:
    void Adopt(std::unique_ptr<TGraphic> Graphic);
    void ReadData(TStream &Stream);
    void WriteData(TStream &Stream);

    std::unique_ptr<TGraphic> FGraphic;
};

// A new graphic of the class (which must derive from TGraphic and be
// creatable); raises EInvalidGraphic otherwise.
std::unique_ptr<TGraphic> CreateGraphic(const TClassInfo &GraphicClass);

} // namespace vcl
