#pragma once
// TEMPORARY: the few graphics classes that controls need, until the graphics
// module lands. Not for integration.
#include <memory>
#include <string>

#include "Classes.h"
#include "Types.h"
#include <windows.h>

namespace vcl {

std::uint32_t ColorToRGB(TColor Color);

class TFont : public TPersistent {
    VCL_CLASS(TFont, TPersistent)
public:
    TFont() = default;
    ~TFont() override;
    std::string Name() const { return FName; }
    void SetName(const std::string &V) { FName = V; Changed(); }
    int Height() const { return FHeight; }
    void SetHeight(int V) { FHeight = V; Changed(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { FColor = V; Changed(); }
    HFONT Handle() const;
    void Assign(const TPersistent *Source) override;
    TNotifyEvent OnChange;
private:
    void Changed();
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    mutable HFONT FHandle = nullptr;
};

class TBrush : public TPersistent {
    VCL_CLASS(TBrush, TPersistent)
public:
    TBrush() = default;
    ~TBrush() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor V);
    HBRUSH Handle() const;
private:
    TColor FColor = clWhite;
    mutable HBRUSH FHandle = nullptr;
};

class TCanvas : public TPersistent {
    VCL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;
    HDC Handle();
    void SetHandle(HDC DC) { FHandle = DC; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    TFont *Font() const { return FFont.get(); }
    TBrush *Brush() const { return FBrush.get(); }
    void FillRect(const TRect &R);
protected:
    virtual void CreateHandle() {}
private:
    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
};

} // namespace vcl
