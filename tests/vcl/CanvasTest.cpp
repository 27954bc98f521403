#include "vcl/Canvas.h"

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "vcl/Bitmap.h"

using namespace vcl;
using vcl::test::TDibSurface;

TEST(CanvasSelection, ToolsGoIntoTheDCWhenUsedLeaveItWhenChangedAndTheDCGetsItsOwnBack) {
    TDibSurface surface(40, 40), other(4, 4);
    const HDC dc = surface.DC();
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), brush = GetCurrentObject(dc, OBJ_BRUSH),
                  pen = GetCurrentObject(dc, OBJ_PEN);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.TextExtent("x");
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);  // measuring needs no brush
        canvas.Rectangle(1, 1, 5, 5);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
        // A changed tool leaves the DC at once: its old object is deleted now.
        canvas.Font()->SetHeight(-40);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        canvas.TextOut(0, 0, "A");
        canvas.SetHandle(other.DC());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        canvas.SetHandle(dc);
        canvas.Rectangle(1, 1, 5, 5);
        canvas.Refresh();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        canvas.Rectangle(1, 1, 5, 5);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
}

// The DC handed out carries the tools as they are now, a changed one too.
TEST(CanvasSelection, TheHandleCarriesTheCurrentTools) {
    TDibSurface surface(8, 8);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Font()->SetHeight(-20);
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetWidth(3);
    for (int round = 0; round < 2; ++round) {
        const HDC dc = canvas.Handle();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.Brush()->Handle());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
        canvas.Font()->SetHeight(-30);
        canvas.Brush()->SetColor(clBlue);
    }
    canvas.SetHandle(nullptr);
}

TEST(CanvasSelection, ALockedCanvasKeepsItsDCAndOneWithoutADCRefusesToDraw) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Lock();
    canvas.FreeHandle();
    EXPECT_TRUE(canvas.HandleAllocated());
    canvas.Unlock();
    canvas.FreeHandle();
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(CanvasDrawing, FillsFramesLinesAndDotsUseTheirTools) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(2, 2, 5, 5));
    canvas.Brush()->SetColor(clBlue);
    canvas.FrameRect(Rect(0, 0, 10, 10));
    canvas.Brush()->SetStyle(bsClear);
    canvas.FillRect(Rect(0, 0, 10, 10));  // a clear brush fills nothing
    canvas.Pen()->SetColor(clLime);
    canvas.MoveTo(0, 1);
    canvas.LineTo(5, 1);
    canvas.SetPixels(7, 7, 0x00336699);
    canvas.Pen()->SetMode(pmNot);
    canvas.MoveTo(0, 8);
    canvas.LineTo(3, 8);
    const struct {
        int X, Y;
        COLORREF Colour;
    } expected[] = {
        {2, 2, RGB(255, 0, 0)},     {4, 4, RGB(255, 0, 0)},       {5, 5, RGB(255, 255, 255)},  // right, bottom excluded
        {0, 5, RGB(0, 0, 255)},     {1, 5, RGB(255, 255, 255)},   {1, 1, RGB(0, 255, 0)},
        {4, 1, RGB(0, 255, 0)},     {5, 1, RGB(255, 255, 255)},   // the last point is not drawn
        {1, 8, RGB(0, 0, 0)},       {7, 7, RGB(0x99, 0x66, 0x33)},                        // white inverted
    };
    for (const auto &e : expected) EXPECT_EQ(surface.Pixel(e.X, e.Y), e.Colour) << e.X << "," << e.Y;
    EXPECT_EQ(canvas.PenPos(), Point(3, 8));
    EXPECT_EQ(canvas.Pixels(7, 7), 0x00336699);
    EXPECT_EQ(canvas.Pixels(40, 40), -1);
}

TEST(CanvasDrawing, TextIsDrawnInTheFontColourOverTheBrushAndClippedByTextRect) {
    TDibSurface surface(80, 30);
    TCanvas &canvas = surface.Canvas();
    canvas.Font()->SetColor(clBlack);
    canvas.Font()->SetHeight(-20);
    canvas.Brush()->SetColor(0x00FFFF);  // yellow
    canvas.TextOut(0, 0, "W");
    const TSize size = canvas.TextExtent("W");
    EXPECT_EQ(canvas.TextWidth("WW"), canvas.TextExtent("WW").cx);
    int black = 0, yellow = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            black += surface.Pixel(x, y) == RGB(0, 0, 0);
            yellow += surface.Pixel(x, y) == RGB(255, 255, 0);
        }
    EXPECT_GT(black, 0);
    EXPECT_GT(yellow, 0);  // the opaque background
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextRect(Rect(40, 0, 50, 30), 40, 0, "WWWWWW");
    int inside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 40; x < 50; ++x) inside += surface.Pixel(x, y) == RGB(0, 0, 0);
        for (int x = 50; x < 80; ++x) ASSERT_EQ(surface.Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
    }
    EXPECT_GT(inside, 0);
}

TEST(CanvasDrawing, CopyRectStretchesWithTheCopyModeAndDrawPutsAGraphicOnIt) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(2, 1);
    bitmap.Canvas()->SetPixels(0, 0, clRed);
    bitmap.Canvas()->SetPixels(1, 0, clBlue);
    TDibSurface target(8, 4);
    TCanvas &canvas = target.Canvas();
    canvas.CopyRect(Rect(0, 0, 4, 1), bitmap.Canvas(), Rect(0, 0, 2, 1));
    canvas.SetCopyMode(cmNotSrcCopy);
    canvas.CopyRect(Rect(4, 0, 6, 1), bitmap.Canvas(), Rect(0, 0, 2, 1));
    canvas.SetCopyMode(cmSrcCopy);  // which Draw uses too
    canvas.Draw(1, 1, &bitmap);
    canvas.StretchDraw(Rect(0, 2, 4, 4), &bitmap);
    canvas.Draw(0, 0, nullptr);  // nothing to draw
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
    const COLORREF rows[4][5] = {{red, red, blue, blue, RGB(0, 255, 255)},
                                 {white, red, blue, white, white},
                                 {red, red, blue, blue, white},
                                 {red, red, blue, blue, white}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(target.Pixel(x, y), rows[y][x]) << x << "," << y;
}

TEST(CanvasDrawing, OnChangeFollowsEveryDrawing) {
    TDibSurface surface(4, 4);
    TCanvas &canvas = surface.Canvas();
    struct TCounter {
        int Changing = 0, Changed = 0;
        void OnChanging(TObject *) { ++Changing; }
        void OnChanged(TObject *) { ++Changed; }
    } counter;
    canvas.OnChanging = TNotifyEvent::Bind<&TCounter::OnChanging>(&counter);
    canvas.OnChange = TNotifyEvent::Bind<&TCounter::OnChanged>(&counter);
    canvas.FillRect(Rect(0, 0, 1, 1));
    canvas.TextOut(0, 0, "x");
    canvas.SetPixels(0, 0, clRed);
    canvas.TextExtent("x");  // measuring changes nothing
    EXPECT_EQ(counter.Changing, 3);
    EXPECT_EQ(counter.Changed, 3);
}
