#include "vcl/RefreshGate.h"

#include <gtest/gtest.h>

namespace vcl {
namespace {

TEST(RefreshGate, OpensFirstThenOncePerIntervalAcrossTheWrapOfTheTickCount) {
    const struct {
        std::uint32_t Interval, Start;
    } cases[] = {{16, 1000}, {10, 0xFFFFFFFAu}};
    for (const auto &c : cases) {
        TRefreshGate gate(c.Interval);
        EXPECT_TRUE(gate.Pass(c.Start));
        EXPECT_FALSE(gate.Pass(c.Start + c.Interval - 1));
        EXPECT_TRUE(gate.Pass(c.Start + c.Interval));
        EXPECT_FALSE(gate.Pass(c.Start + c.Interval + 1));
        gate.Reset();  // opens at once
        EXPECT_TRUE(gate.Pass(c.Start + c.Interval + 2));
    }
}

} // namespace
} // namespace vcl
