// The system-colour interception as the skin switches come and go: the
// brushes it hands out stay usable after it comes off, and the patched code
// goes off and on again as often as the hooks do, from under other threads.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "ManagerTestSupport.h"
#include "skin/manager/sSysColors.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr COLORREF SkinEditColor = 0x40E0F0, SkinEditFontColor = 0x000080;

class SysColors : public testing::Test {
protected:
    void SetUp() override { InitializeSkinManagerModule(); }
    void TearDown() override { FinalizeSkinManagerModule(); }

    // A default manager with the test skin applied; the interception follows
    // its option.
    ManagerPtr SkinnedManager() {
        ManagerPtr m = NewManager();
        AddStoredSkin(*m, "S", TestSkin{}.Packed());
        m->SetSkinName("S");
        EXPECT_TRUE(m->SkinData->Active);
        return m;
    }
};

COLORREF BrushColor(HBRUSH Brush) {
    LOGBRUSH lb{};
    return GetObjectW(Brush, sizeof lb, &lb) == sizeof lb ? lb.lbColor : CLR_INVALID;
}

// A patched function's code as the process calls it: the entry's two bytes
// and whether the five before them jump to the replacement.
struct TPatchSite {
    const std::uint8_t *Entry;
    const void *Replacement;

    bool EntryIs(std::uint16_t Bytes) const { return std::memcmp(Entry, &Bytes, 2) == 0; }
    bool PadJumpsToReplacement() const {
        std::int32_t displacement = 0;
        std::memcpy(&displacement, Entry - 4, 4);
        return Entry[-5] == 0xE9 && Entry + displacement == Replacement;
    }
};

TPatchSite Site(const char *Module, const char *Name, const void *Replacement) {
    void *f = reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA(Module), Name));
    return {static_cast<const std::uint8_t *>(ResolveApiEntry(f)), Replacement};
}

TEST_F(SysColors, BrushesHandedOutStayUsableAfterTheInterceptionComesOff) {
    ManagerPtr m = SkinnedManager();
    m->Options()->SetFlag(ofChangeSysColors, true);
    ASSERT_TRUE(SysColorsPatched()) << "GetSysColorBrush has no hot-patch prologue here";

    // What a class background or a WM_CTLCOLOR answer would keep.
    const HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    const HBRUSH text = GetSysColorBrush(COLOR_WINDOWTEXT);
    ASSERT_EQ(BrushColor(window), SkinEditColor);
    ASSERT_EQ(BrushColor(text), SkinEditFontColor);
    const vcl::THandleCounts handedOut = vcl::LiveHandles();

    m->Options()->SetFlag(ofChangeSysColors, false);
    ASSERT_FALSE(SysColorsPatched());
    EXPECT_NE(GetObjectType(window), 0u);
    EXPECT_EQ(BrushColor(window), SkinEditColor);
    EXPECT_EQ(BrushColor(text), SkinEditFontColor);
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), window);  // the system's own again

    // Every skin switch takes the interception off and puts it on again:
    // a colour keeps its one brush, nothing piles up.
    for (int i = 0; i < 50; ++i) {
        m->Options()->SetFlag(ofChangeSysColors, true);
        ASSERT_EQ(GetSysColorBrush(COLOR_WINDOW), window);
        ASSERT_EQ(GetSysColorBrush(COLOR_WINDOWTEXT), text);
        m->Options()->SetFlag(ofChangeSysColors, false);
    }
    EXPECT_EQ(vcl::LiveHandles(), handedOut);

    // The manager that the colours came from goes, the brushes stay; they
    // go with the module (the fixture's start-up is the only one).
    m.reset();
    EXPECT_EQ(BrushColor(window), SkinEditColor);
    const vcl::THandleCounts withBrushes = vcl::LiveHandles();
    FinalizeSkinManagerModule();
    EXPECT_EQ(GetObjectType(window), 0u);
    EXPECT_EQ(GetObjectType(text), 0u);
    InitializeSkinManagerModule();
    EXPECT_EQ(vcl::LiveHandles().GdiObjects, withBrushes.GdiObjects - 2);
}

// Patch, unpatch, patch again...: each time the entry switches in one
// two-byte store, and the jump in the padding stays once it is written, so
// that a thread that took the short jump a moment before the entry was
// restored still lands in the replacement. (Wine's CreatePen has no
// hot-patch prologue and is left alone: only the two of user32 here.)
TEST_F(SysColors, ComesOffAndOnAgainWithEveryCodeByteWhereItBelongs) {
    const COLORREF realWindow = GetSysColor(COLOR_WINDOW);
    const HBRUSH realBrush = GetSysColorBrush(COLOR_WINDOW);
    const TPatchSite sites[] = {
        Site("user32.dll", "GetSysColor", reinterpret_cast<const void *>(&SkinnedGetSysColor)),
        Site("user32.dll", "GetSysColorBrush", reinterpret_cast<const void *>(&SkinnedGetSysColorBrush)),
    };
    for (const TPatchSite &site : sites) ASSERT_TRUE(site.EntryIs(0xFF8B)) << "no hot-patch prologue here";

    ManagerPtr m = SkinnedManager();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        m->Options()->SetFlag(ofChangeSysColors, true);
        for (const TPatchSite &site : sites) {
            EXPECT_TRUE(site.EntryIs(0xF9EB));  // EB F9: jmp short into the padding
            EXPECT_TRUE(site.PadJumpsToReplacement());
        }
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), SkinEditColor);
        EXPECT_EQ(BrushColor(GetSysColorBrush(COLOR_WINDOW)), SkinEditColor);

        m->Options()->SetFlag(ofChangeSysColors, false);
        for (const TPatchSite &site : sites) {
            EXPECT_TRUE(site.EntryIs(0xFF8B));  // 8B FF: mov edi, edi, the plain prologue
            EXPECT_TRUE(site.PadJumpsToReplacement());
        }
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), realWindow);
        EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), realBrush);
    }
}

// Other threads call the patched functions while the UI thread switches the
// interception: each call answers either the real or the skin colour, a
// brush once handed out stays a brush, and no call runs code half put back
// (a thread that took the entry's short jump just before the entry was
// restored still needs the padding's long jump).
TEST_F(SysColors, OtherThreadsKeepWorkingWhileItComesOffAndOn) {
    const COLORREF realWindow = GetSysColor(COLOR_WINDOW);
    ManagerPtr m = SkinnedManager();
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0}, calls{0};
    auto caller = [&](bool Brushes) {
        while (!stop) {
            const COLORREF c = Brushes ? BrushColor(GetSysColorBrush(COLOR_WINDOW)) : GetSysColor(COLOR_WINDOW);
            if (c != realWindow && c != SkinEditColor) ++wrong;
            ++calls;
        }
    };
    std::thread first(caller, false), second(caller, false), third(caller, true);
    for (int i = 0; i < 10000; ++i) {
        m->Options()->SetFlag(ofChangeSysColors, true);
        m->Options()->SetFlag(ofChangeSysColors, false);
    }
    stop = true;
    first.join();
    second.join();
    third.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(calls, 0);
}

} // namespace
} // namespace skin
