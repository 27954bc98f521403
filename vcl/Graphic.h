#pragma once
// TGraphic: the abstract image that a picture holds and a canvas draws: a
// size, transparency, a stream format, and a way to draw itself into a
// rectangle of a canvas. TBitmap and TIcon are graphics; image formats of
// higher layers (the PNG reader) derive from them and register with TPicture.
// Windows only.
#include <cstdint>
#include <string>

#include "Persistent.h"
#include "Streams.h"
#include "Types.h"

#include <windows.h>

namespace vcl {

class TCanvas;

// Sender, stage, percent done, whether the part in R (in image coordinates)
// should be shown now, and a message for the user.
using TProgressEvent = TMethod<void(TObject *Sender, TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                                    const TRect &R, const std::string &Msg)>;

class TGraphic : public TPersistent {
    VCL_CLASS(TGraphic, TPersistent)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual void SetSize(int AWidth, int AHeight);

    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    // Set by every change; cleared by whoever saved the graphic.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    // The palette of an indexed image; null when there is none. A palette
    // given to a graphic is copied: the caller keeps its handle.
    virtual HPALETTE Palette() { return nullptr; }
    virtual void SetPalette(HPALETTE Value) {}

    // Reads the graphic's own file format from the stream's position. On an
    // error the graphic keeps what it held and EInvalidGraphic (or the
    // stream's read error) says why.
    virtual void LoadFromStream(TStream &Stream) = 0;
    virtual void SaveToStream(TStream &Stream) = 0;
    void LoadFromFile(const std::string &FileName);
    // Builds the whole file in memory first, so a graphic that cannot be
    // saved leaves an existing file as it was.
    void SaveToFile(const std::string &FileName);

    // Draws the graphic stretched into Rect of the canvas.
    virtual void Draw(TCanvas &ACanvas, const TRect &Rect) = 0;

    // A graphic stored as a property keeps its file format in the binary
    // block "Data" of the form description.
    void DefineProperties(TFiler &Filer) override;

    TNotifyEvent OnChange;
    // Told how far a load has come, by the graphics whose loads report it.
    TProgressEvent OnProgress;

protected:
    friend class TPicture;  // stores and reads the graphic's data

    // Into another graphic that can take a drawing (AssignDrawing: a
    // bitmap) a graphic draws itself; a graphic that holds pixels may
    // override this to copy them instead.
    void AssignTo(TPersistent *Dest) const override;
    // Takes Source's picture by drawing it (a bitmap: at Source's size over
    // the brush colour); false when this kind of graphic cannot.
    virtual bool AssignDrawing(const TGraphic &Source) { return false; }

    virtual void Changed();
    // Passes a report on to OnProgress, when there is a handler.
    void Progress(TObject *Sender, TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow, const TRect &R,
                  const std::string &Msg);
    virtual void ReadData(TStream &Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream &Stream) { SaveToStream(Stream); }

private:
    bool FTransparent = false;
    bool FModified = false;
};

} // namespace vcl
