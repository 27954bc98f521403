// What the iconic-bitmap switch asks of the desktop compositor. Wine's
// compositor functions answer without doing anything, so the test puts its
// own in their place for a while and records the calls. The test program
// runs once without desktop composition and once (ZUVO_COMPOSITION) with it.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "ApiRedirect.h"

#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSysColors.h"

namespace skin {
namespace {

struct TAttributeCall {
    HWND Window;
    DWORD Attribute;
    BOOL Value;
    DWORD Size;
    bool operator==(const TAttributeCall &) const = default;
};

std::vector<TAttributeCall> AttributeCalls;
std::vector<HWND> Invalidations;
HRESULT HasIconicAnswer = S_OK;

HRESULT WINAPI RecordAttribute(HWND Window, DWORD Attribute, LPCVOID Value, DWORD Size) {
    BOOL value = -1;
    if (Value && Size == sizeof value) std::memcpy(&value, Value, sizeof value);
    AttributeCalls.push_back({Window, Attribute, value, Size});
    return Attribute == 10 ? HasIconicAnswer : S_OK;
}

HRESULT WINAPI RecordInvalidation(HWND Window) {
    Invalidations.push_back(Window);
    return S_OK;
}

TEST(DwmIconicBitmap, AttributesAreSetOnlyUnderCompositionAndForcedOnlyAfterTheFirstWasTaken) {
#ifdef ZUVO_COMPOSITION
    ASSERT_TRUE(DwmCompositionActive()) << "this program should run with desktop composition";
#else
    ASSERT_FALSE(DwmCompositionActive()) << "this program should run without desktop composition";
#endif
    HMODULE dwmapi = LoadLibraryW(L"dwmapi.dll");
    ASSERT_NE(dwmapi, nullptr);
    void *setAttribute = reinterpret_cast<void *>(GetProcAddress(dwmapi, "DwmSetWindowAttribute"));
    void *invalidate = reinterpret_cast<void *>(GetProcAddress(dwmapi, "DwmInvalidateIconicBitmaps"));
    ASSERT_NE(setAttribute, nullptr);
    ASSERT_NE(invalidate, nullptr);
    ASSERT_NE(setAttribute, invalidate);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        zuvotest::TApiRedirect attributes(ResolveApiEntry(setAttribute), reinterpret_cast<void *>(&RecordAttribute));
        zuvotest::TApiRedirect invalidations(ResolveApiEntry(invalidate), reinterpret_cast<void *>(&RecordInvalidation));

        SetDwmIconicBitmap(window, true);
        HasIconicAnswer = E_FAIL;
        SetDwmIconicBitmap(window, false);
        HasIconicAnswer = S_OK;
    }
    DestroyWindow(window);
    FreeLibrary(dwmapi);

    if (DwmCompositionActive()) {
        // DWMWA_HAS_ICONIC_BITMAP (10), then DWMWA_FORCE_ICONIC_REPRESENTATION (7)
        // only while the first was taken; the pictures are dropped each time.
        EXPECT_EQ(AttributeCalls, (std::vector<TAttributeCall>{
                                      {window, 10, TRUE, sizeof(BOOL)},
                                      {window, 7, TRUE, sizeof(BOOL)},
                                      {window, 10, FALSE, sizeof(BOOL)},
                                  }));
        EXPECT_EQ(Invalidations, (std::vector<HWND>{window, window}));
    } else {
        EXPECT_TRUE(AttributeCalls.empty());
        EXPECT_TRUE(Invalidations.empty());
    }
}

} // namespace
} // namespace skin
