#include "vlAlphaText.h"

#include "vcl/Canvas.h"
#include "vcl/WideText.h"
#include "vlGraphUtils.h"
#include "vlPixelHelpers.h"

namespace skin {

void DrawAlphaText(vcl::TBitmap &Bitmap, const std::string &Text, int Mode, const vcl::TRect &R, UINT Flags,
                   vcl::TColor Colour) {
    if (Text.empty() || R.IsEmpty() || !Bitmap.View().HasRows()) return;
    auto temp = NewBitmap32(R.Width(), R.Height());
    vcl::TCanvas &canvas = *temp->Canvas();
    canvas.SetFont(Bitmap.Canvas()->Font());
    // White everywhere first: a new bitmap is black, and black reads as text.
    canvas.Brush()->SetColor(vcl::clWhite);
    canvas.FillRect({0, 0, R.Width(), R.Height()});
    canvas.Font()->SetColor(vcl::clBlack);
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    HDC dc = canvas.Handle();
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT area{0, 0, R.Width(), R.Height()};
    const std::wstring text = vcl::Utf8ToWide(Text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, Flags);
    GdiFlush();
    BlendTextImage32(Bitmap.View(), R, temp->View(), Colour, Mode);
}

} // namespace skin
