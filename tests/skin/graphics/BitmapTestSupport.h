#pragma once
// Building blocks of the tests on the class library's bitmaps (Windows):
// 32-bit bitmaps filled by a rule and a check of every pixel against one.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "PixelTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"

namespace skin::test {

using TRule = std::function<std::uint32_t(int x, int y)>;

inline std::unique_ptr<vcl::TBitmap> Bitmap32(int w, int h, const TRule &rule) {
    auto bmp = NewBitmap32(w, h);
    const vcl::TBitmapView v = bmp->View();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) v.At(x, y) = rule(x, y);
    return bmp;
}

inline std::unique_ptr<vcl::TBitmap> Plain32(int w, int h, std::uint32_t value) {
    return Bitmap32(w, h, [=](int, int) { return value; });
}

// Checks every pixel of the 32-bit bitmap against the rule, the bits of
// Mask only; reports the first few mismatches.
inline void ExpectPixels(vcl::TBitmap &bmp, const TRule &expected, std::uint32_t mask = 0xFFFFFFFF) {
    const vcl::TBitmapView v = bmp.View();
    ASSERT_TRUE(v.HasRows());
    int reported = 0;
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x)
            if ((v.At(x, y) & mask) != (expected(x, y) & mask) && reported++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << Hex(v.At(x, y)) << ", expected "
                              << Hex(expected(x, y));
}

} // namespace skin::test
