#include "vcl/Canvas.h"

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "vcl/Bitmap.h"

using namespace vcl;
using vcl::test::TDibSurface;

TEST(CanvasSelection, ToolsGoIntoTheDCOnlyWhenUsed) {
    TDibSurface surface(40, 40);
    const HGDIOBJ originalFont = GetCurrentObject(surface.DC(), OBJ_FONT);
    const HGDIOBJ originalBrush = GetCurrentObject(surface.DC(), OBJ_BRUSH);
    TCanvas &canvas = surface.Canvas();
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), originalFont);

    canvas.TextExtent("x");
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), canvas.Font()->Handle());
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), originalBrush);  // measuring needs no brush

    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), canvas.Brush()->Handle());
}

TEST(CanvasSelection, ChangingTheFontChangesTheMeasuredText) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Font()->SetName("Tahoma");
    canvas.Font()->SetHeight(-11);
    const TSize small = canvas.TextExtent("Instaluj");
    canvas.Font()->SetHeight(-33);
    const TSize large = canvas.TextExtent("Instaluj");
    EXPECT_GT(large.cy, small.cy * 2);
    EXPECT_GT(large.cx, small.cx * 2);
    EXPECT_EQ(canvas.TextWidth("Instaluj"), large.cx);
    EXPECT_EQ(canvas.TextHeight("Instaluj"), large.cy);
}

TEST(CanvasSelection, AChangedToolLeavesTheDCAtOnce) {
    TDibSurface surface(10, 10);
    const HGDIOBJ originalFont = GetCurrentObject(surface.DC(), OBJ_FONT);
    TCanvas &canvas = surface.Canvas();
    canvas.TextExtent("x");
    canvas.Font()->SetHeight(-40);
    // The old font object must not stay selected: it is deleted now.
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), originalFont);
}

TEST(CanvasSelection, TheDCGetsItsObjectsBackWhenTheCanvasLetsGo) {
    TDibSurface surface(10, 10), other(10, 10);
    const HGDIOBJ font = GetCurrentObject(surface.DC(), OBJ_FONT);
    const HGDIOBJ brush = GetCurrentObject(surface.DC(), OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(surface.DC(), OBJ_PEN);
    {
        TCanvas canvas;
        canvas.SetHandle(surface.DC());
        canvas.Rectangle(1, 1, 5, 5);
        canvas.TextOut(0, 0, "A");
        EXPECT_NE(GetCurrentObject(surface.DC(), OBJ_PEN), pen);
        canvas.SetHandle(other.DC());
        EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_PEN), pen);

        canvas.SetHandle(surface.DC());
        canvas.Rectangle(1, 1, 5, 5);
        canvas.Refresh();
        EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_PEN), pen);
        canvas.Rectangle(1, 1, 5, 5);
    }
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_PEN), pen);
}

TEST(CanvasSelection, ACanvasWithoutDCRefusesToDraw) {
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.Handle(), EInvalidOperation);
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(CanvasSelection, ALockedCanvasKeepsItsDC) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Lock();
    canvas.Lock();
    canvas.FreeHandle();
    EXPECT_TRUE(canvas.HandleAllocated());
    canvas.Unlock();
    canvas.Unlock();
    EXPECT_EQ(canvas.LockCount(), 0);
    canvas.FreeHandle();
    EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(CanvasDrawing, FillsAndFramesUseTheBrush) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(2, 2, 5, 5));
    EXPECT_EQ(surface.Pixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(surface.Pixel(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(surface.Pixel(5, 5), RGB(255, 255, 255));  // right and bottom excluded

    canvas.Brush()->SetColor(clBlue);
    canvas.FrameRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(surface.Pixel(0, 5), RGB(0, 0, 255));
    EXPECT_EQ(surface.Pixel(1, 5), RGB(255, 255, 255));

    canvas.Brush()->SetStyle(bsClear);
    canvas.FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(surface.Pixel(3, 3), RGB(255, 0, 0));  // a clear brush fills nothing
}

TEST(CanvasDrawing, LinesAndRectanglesUseThePen) {
    TDibSurface surface(10, 10);
    TCanvas &canvas = surface.Canvas();
    canvas.Pen()->SetColor(clLime);
    canvas.MoveTo(0, 1);
    canvas.LineTo(5, 1);
    EXPECT_EQ(surface.Pixel(0, 1), RGB(0, 255, 0));
    EXPECT_EQ(surface.Pixel(4, 1), RGB(0, 255, 0));
    EXPECT_EQ(surface.Pixel(5, 1), RGB(255, 255, 255));  // the last point is not drawn
    EXPECT_EQ(canvas.PenPos(), Point(5, 1));

    canvas.Pen()->SetColor(clBlack);
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(2, 3, 7, 8);
    EXPECT_EQ(surface.Pixel(2, 3), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(4, 5), RGB(255, 0, 0));

    canvas.Pen()->SetMode(pmNot);
    canvas.MoveTo(0, 9);
    canvas.LineTo(3, 9);
    EXPECT_EQ(surface.Pixel(1, 9), RGB(0, 0, 0));  // white inverted
}

TEST(CanvasDrawing, PixelsReadAndWriteSingleDots) {
    TDibSurface surface(4, 4);
    TCanvas &canvas = surface.Canvas();
    canvas.SetPixels(1, 2, 0x00336699);
    EXPECT_EQ(surface.Pixel(1, 2), 0x00336699u);
    EXPECT_EQ(canvas.Pixels(1, 2), 0x00336699);
    EXPECT_EQ(canvas.Pixels(0, 0), 0x00FFFFFF);
    EXPECT_EQ(canvas.Pixels(40, 40), -1);
}

TEST(CanvasDrawing, TextIsDrawnInTheFontColourOverTheBrush) {
    TDibSurface surface(60, 30);
    TCanvas &canvas = surface.Canvas();
    canvas.Font()->SetColor(clBlack);
    canvas.Brush()->SetColor(0x00FFFF);  // yellow
    canvas.TextOut(0, 0, "W");
    const TSize size = canvas.TextExtent("W");
    int black = 0, yellow = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            black += surface.Pixel(x, y) == RGB(0, 0, 0);
            yellow += surface.Pixel(x, y) == RGB(255, 255, 0);
        }
    EXPECT_GT(black, 0);
    EXPECT_GT(yellow, 0);  // the opaque background

    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(30, 0, "W");
    for (int y = 0; y < size.cy; ++y)
        for (int x = 30; x < 30 + size.cx; ++x)
            EXPECT_NE(surface.Pixel(x, y), RGB(255, 255, 0));
}

TEST(CanvasDrawing, TextRectClipsToItsRectangle) {
    TDibSurface surface(80, 30);
    TCanvas &canvas = surface.Canvas();
    canvas.Font()->SetHeight(-20);
    canvas.Font()->SetColor(clBlack);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextRect(Rect(0, 0, 10, 30), 0, 0, "WWWWWW");
    int inside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 10; ++x)
            inside += surface.Pixel(x, y) == RGB(0, 0, 0);
        for (int x = 10; x < 80; ++x)
            ASSERT_EQ(surface.Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
    }
    EXPECT_GT(inside, 0);
}

TEST(CanvasDrawing, CopyRectStretchesWithTheCopyMode) {
    TDibSurface source(2, 1), target(4, 2);
    SetPixel(source.DC(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.DC(), 1, 0, RGB(0, 0, 255));
    TCanvas from, to;
    from.SetHandle(source.DC());
    to.SetHandle(target.DC());
    to.CopyRect(Rect(0, 0, 4, 1), &from, Rect(0, 0, 2, 1));
    EXPECT_EQ(target.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(3, 0), RGB(0, 0, 255));

    to.SetCopyMode(cmNotSrcCopy);
    to.CopyRect(Rect(0, 1, 2, 2), &from, Rect(0, 0, 2, 1));
    EXPECT_EQ(target.Pixel(0, 1), RGB(0, 255, 255));
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

TEST(CanvasDrawing, DrawAndStretchDrawPutAGraphicOnTheCanvas) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(2, 1);
    bitmap.Canvas()->SetPixels(0, 0, clRed);
    bitmap.Canvas()->SetPixels(1, 0, clBlue);
    TDibSurface surface(8, 4);
    TCanvas &canvas = surface.Canvas();
    canvas.Draw(1, 1, &bitmap);
    EXPECT_EQ(surface.Pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(surface.Pixel(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(surface.Pixel(3, 1), RGB(255, 255, 255));
    canvas.StretchDraw(Rect(0, 2, 4, 4), &bitmap);
    EXPECT_EQ(surface.Pixel(1, 3), RGB(255, 0, 0));
    EXPECT_EQ(surface.Pixel(2, 3), RGB(0, 0, 255));
    canvas.Draw(0, 0, nullptr);  // nothing to draw
}
