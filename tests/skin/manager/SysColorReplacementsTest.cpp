// The replacement of CreatePen, called directly (Wine's CreatePen has no
// hot-patch prologue, so the process's own is never redirected here), and
// the way from an import thunk to the function it leads to.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "ManagerTestSupport.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/manager/sSysColors.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

class SysColorReplacements : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
};

// The colour of a pen that SkinnedCreatePen makes, the pen freed again.
COLORREF PenColour(COLORREF Asked) {
    HPEN pen = SkinnedCreatePen(PS_SOLID, 1, Asked);
    LOGPEN lp{};
    const bool read = pen && GetObjectW(pen, sizeof lp, &lp) == sizeof lp;
    DeleteObject(pen);
    return read ? lp.lopnColor : CLR_INVALID;
}

TEST_F(SysColorReplacements, PensOfSystemColourValuesTakeTheSkinsColours) {
    const vcl::THandleCounts before = vcl::LiveHandles();
    // No applied skin: every colour is passed on as asked.
    for (COLORREF asked : {5u, 15u, 0xC0C0C0u, 0x123456u}) EXPECT_EQ(PenColour(asked), asked);

    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->SetSkinName("S");
    ASSERT_TRUE(m->SkinData->Active);
    const vcl::TColor main = m->GetMainColor(), edit = m->GetEditColor(), editText = m->GetEditFontColor();
    ASSERT_EQ(main, 0xE0E0E0);
    ASSERT_EQ(edit, 0x40E0F0);
    EXPECT_EQ(PenColour(5), static_cast<COLORREF>(edit));
    EXPECT_EQ(PenColour(6), static_cast<COLORREF>(m->SkinColors[scBorderColor]));
    EXPECT_EQ(PenColour(13), static_cast<COLORREF>(m->GetSelectionColor(true)));
    EXPECT_EQ(PenColour(14), static_cast<COLORREF>(m->GetSelectionFontColor(true)));
    EXPECT_EQ(PenColour(15), static_cast<COLORREF>(main));
    // The shades agree with the colours that the skinned GetSysColor answers.
    EXPECT_EQ(PenColour(16), SkinnedGetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PenColour(21), SkinnedGetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(PenColour(22), SkinnedGetSysColor(COLOR_3DLIGHT));
    EXPECT_NE(PenColour(16), static_cast<COLORREF>(main));
    // The two greys of lines in edit boxes become the edit text faintly over the edit colour.
    const COLORREF line = static_cast<COLORREF>(MixColors(editText, edit, 0.15));
    EXPECT_EQ(PenColour(0xC0C0C0), line);
    EXPECT_EQ(PenColour(0xF0F0F0), line);
    EXPECT_EQ(PenColour(0x123456), 0x123456u);
    EXPECT_EQ(PenColour(7), 7u);

    m->SetActive(false);
    EXPECT_EQ(PenColour(15), 15u);
    m.reset();
    EXPECT_EQ(vcl::LiveHandles().GdiObjects, before.GdiObjects);
}

// An import thunk "jmp dword ptr [Slot]" as the linker writes one.
struct Thunk {
    std::uint8_t Code[6] = {0xFF, 0x25};
    void *Slot = nullptr;
    explicit Thunk(void *Target) : Slot(Target) {
        void *slot = &Slot;
        std::memcpy(Code + 2, &slot, 4);
    }
};

TEST(ApiEntry, ImportThunksAreFollowedToTheFunction) {
    EXPECT_EQ(ResolveApiEntry(nullptr), nullptr);
    void *function = reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSysColor"));
    ASSERT_NE(function, nullptr);
    ASSERT_FALSE(static_cast<std::uint8_t *>(function)[0] == 0xFF && static_cast<std::uint8_t *>(function)[1] == 0x25);
    EXPECT_EQ(ResolveApiEntry(function), function);

    Thunk last(function);
    EXPECT_EQ(ResolveApiEntry(last.Code), function);
    // A few thunks in a row are followed; a longer chain ends at the fifth.
    Thunk third(last.Code), second(third.Code), first(second.Code);
    EXPECT_EQ(ResolveApiEntry(first.Code), function);
    Thunk zeroth(first.Code);
    EXPECT_EQ(ResolveApiEntry(zeroth.Code), last.Code);
}

} // namespace
} // namespace skin
