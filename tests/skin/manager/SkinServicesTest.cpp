// The slots the layers above register into, and the module's state behind
// its start-up: what serves when, and what the module's end takes away.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinServices.h"

namespace skin {
namespace {

using namespace skin::test;

struct Glows : TvlGlowService {
    int Clears = 0;
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t,
                 int) override {
        return 1;
    }
    void HideGlow(int &GlowID, bool) override { GlowID = -1; }
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override { ++Clears; }
};

// Which of the glow services serves: the one whose count a clear raises
// (none of them when the null service serves).
int ServingGlow(Glows &A, Glows &B) {
    const int a = A.Clears, b = B.Clears;
    GlowService().ClearGlows(false);
    return A.Clears > a ? 1 : B.Clears > b ? 2 : 0;
}

TEST(SkinServices, NewestRegistrationServesAndTakingOneOutLetsTheOneBeforeServe) {
    Glows a, b;
    EXPECT_EQ(ServingGlow(a, b), 0);
    RegisterService(a);
    RegisterService(b);
    EXPECT_EQ(ServingGlow(a, b), 2);
    UnregisterService(b);
    EXPECT_EQ(ServingGlow(a, b), 1);
    RegisterService(b);
    UnregisterService(a);  // from under the newest: it keeps serving
    EXPECT_EQ(ServingGlow(a, b), 2);
    UnregisterService(b);
    EXPECT_EQ(ServingGlow(a, b), 0);
    {
        TvlServiceRegistration scoped(a);
        EXPECT_EQ(ServingGlow(a, b), 1);
    }
    EXPECT_EQ(ServingGlow(a, b), 0);
}

struct Hooked : TvlHookedDialog {
    explicit Hooked(bool &Freed) : FFreed(Freed) {}
    ~Hooked() override { FFreed = true; }
    HWND DialogWindow() const override { return nullptr; }
    bool &FFreed;
};

TEST(SkinServices, ModulesEndEmptiesTheSlotsAndPutsTheStartValuesBack) {
    Glows glows, other;
    bool freed = false;
    InitializeSkinManagerModule();
    RegisterService(glows);
    AddHookedDialog(std::make_unique<Hooked>(freed));
    ModuleState().ExtendedHotTracking = true;
    {
        TvlStateOverride animating(ModuleState().FormAnimationActive, true);
        EXPECT_TRUE(ModuleState().FormAnimationActive);
    }
    EXPECT_FALSE(ModuleState().FormAnimationActive);

    InitializeSkinManagerModule();  // nested: nothing starts again
    FinalizeSkinManagerModule();
    EXPECT_EQ(ServingGlow(glows, other), 1);
    EXPECT_TRUE(ModuleState().IsNTPlatform);
    EXPECT_EQ(HookedDialogCount(), 1u);

    FinalizeSkinManagerModule();
    EXPECT_EQ(ServingGlow(glows, other), 0);
    EXPECT_TRUE(freed);
    EXPECT_EQ(HookedDialogCount(), 0u);
    EXPECT_FALSE(ModuleState().ExtendedHotTracking);
    EXPECT_FALSE(ModuleState().IsNTPlatform);
}

} // namespace
} // namespace skin
