// The library constants: the version code rule everywhere; under Windows
// the captions from system libraries and the program's own string table.
#include "skin/graphics/sConst.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "skin/graphics/vlCommonUtils.h"
#include "vcl/WideText.h"
#endif

using namespace skin;

TEST(Constants, WindowsVersionCode) {
    const int cases[][3] = {{6, 2, 8}, {6, 1, 6}, {6, 3, 6}, {5, 1, 5}, {10, 0, 10}};
    for (const auto &c : cases) EXPECT_EQ(WindowsVersionCodeOf(c[0], c[1]), c[2]) << c[0] << "." << c[1];
}

#ifdef _WIN32

namespace {

HMODULE Program() { return GetModuleHandleW(nullptr); }

bool SystemLibraryExists(const wchar_t *name) {
    return TSystemLibrary(name, LOAD_LIBRARY_AS_DATAFILE).Handle() != nullptr;
}

// An identifier that no string table here uses.
constexpr unsigned NoSuchString = 61234;

} // namespace

TEST(Constants, LibraryStringTableReachesTheProgramBesideItsOwnResources) {
    EXPECT_EQ(LoadOwnString(58992), "OK");
    EXPECT_EQ(LoadOwnString(sidSkinPreview), "Skin preview");
    EXPECT_EQ(LoadOwnString(100), "the program's own string");
    EXPECT_EQ(LoadOwnString(NoSuchString), "");
}

TEST(Constants, LoadDllStringAppendsTheSuffixToAFoundString) {
    std::string caption;
    LoadDllString(caption, Program(), 58955, ":", 58992);
    EXPECT_EQ(caption, "Red ::");
    LoadDllStringDef(caption, Program(), 58955, " - ", "fallback");
    EXPECT_EQ(caption, "Red : - ");
}

TEST(Constants, LoadDllStringFallsBackWhenTheLibraryLacksTheString) {
    TSystemLibrary user32(L"user32.dll", LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(user32.Handle());
    std::string caption = "before";
    LoadDllString(caption, user32.Handle(), NoSuchString, ":", 58992);
    EXPECT_EQ(caption, "OK");  // the fallback gets no suffix
    LoadDllString(caption, user32.Handle(), NoSuchString, ":", 0);
    EXPECT_EQ(caption, "");
    LoadDllStringDef(caption, user32.Handle(), NoSuchString, ":", "Font color:");
    EXPECT_EQ(caption, "Font color:");
}

TEST(Constants, LoadDllStringLeavesTheCaptionWithoutALibrary) {
    std::string caption = "unchanged";
    LoadDllString(caption, nullptr, 800, "", 58992);
    EXPECT_EQ(caption, "unchanged");
    LoadDllStringDef(caption, nullptr, 800, "", "x");
    EXPECT_EQ(caption, "unchanged");
    EXPECT_FALSE(TSystemLibrary(L"no-such-library-here.dll", LOAD_LIBRARY_AS_DATAFILE).Handle());
}

TEST(Constants, InitializationPreparesMetricsAndCaptions) {
    InitializeConstants();
    InitializeConstants();  // a second call changes nothing
    EXPECT_GE(WindowsVersionCode, 5);
    for (int metric : {CachedHScrollArrowWidth, CachedSizeFrameWidth, CachedFixedFrameWidth, CachedCaptionHeight,
                       CachedSmallCaptionHeight})
        EXPECT_GT(metric, 0);

    const struct {
        const std::string *caption;
        const wchar_t *library;
    } fromLibraries[] = {
        {&LocOK, L"user32.dll"},          {&LocCancel, L"user32.dll"},      {&LocHelp, L"user32.dll"},
        {&LocClose, L"user32.dll"},       {&LocAddToCustomColors, L"colorui.dll"},
        {&LocDefineColors, L"shell32.dll"}, {&LocAdditionalColors, L"shell32.dll"},
        {&LocDecimal, L"shell32.dll"},    {&LocRoot, L"shell32.dll"},       {&LocCreate, L"shell32.dll"},
        {&LocRestore, L"comctl32.dll"},   {&LocSize, L"comctl32.dll"},      {&LocMove, L"comctl32.dll"},
        {&LocMaximize, L"comctl32.dll"},  {&LocMinimize, L"comctl32.dll"},  {&LocFileOpen, L"comdlg32.dll"},
        {&LocSelectDirectory, L"comdlg32.dll"}, {&LocRed, L"comdlg32.dll"}, {&LocGreen, L"comdlg32.dll"},
        {&LocBlue, L"comdlg32.dll"},      {&LocColor, L"compstui.dll"},     {&LocFont, L"inetres.dll"},
        {&LocFontColor, L"inetres.dll"},
    };
    int present = 0;
    for (const auto &c : fromLibraries) {
        // A missing library leaves its captions empty; a present one fills
        // each, from itself or from the fallback.
        const bool exists = SystemLibraryExists(c.library);
        present += exists;
        EXPECT_EQ(c.caption->empty(), !exists) << vcl::WideToUtf8(c.library) << ": \"" << *c.caption << "\"";
    }
    EXPECT_GE(present, 15);  // user32, shell32, comctl32 and comdlg32 are everywhere

    // Captions of the library's own table (the first and the last it fills).
    EXPECT_EQ(LocHex, "Hex - ");
    EXPECT_EQ(LocFrameAdapterError, "TsFrameAdapter adapter must be placed on the handled frame");
}
#endif
