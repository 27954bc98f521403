#include "vcl/RefreshGate.h"

#include <gtest/gtest.h>

namespace vcl {
namespace {

TEST(RefreshGate, OpensFirstThenOncePerInterval) {
    TRefreshGate gate(16);
    EXPECT_TRUE(gate.Pass(1000));
    EXPECT_FALSE(gate.Pass(1000));
    EXPECT_FALSE(gate.Pass(1015));
    EXPECT_TRUE(gate.Pass(1016));
    EXPECT_FALSE(gate.Pass(1020));
}

TEST(RefreshGate, SurvivesTheWrapOfTheTickCount) {
    TRefreshGate gate(10);
    EXPECT_TRUE(gate.Pass(0xFFFFFFFAu));
    EXPECT_FALSE(gate.Pass(0xFFFFFFFFu));
    EXPECT_FALSE(gate.Pass(3));  // 9 ms later
    EXPECT_TRUE(gate.Pass(4));   // 10 ms later
}

TEST(RefreshGate, ResetOpensAtOnce) {
    TRefreshGate gate(100);
    EXPECT_TRUE(gate.Pass(50));
    gate.Reset();
    EXPECT_TRUE(gate.Due(51));
    EXPECT_TRUE(gate.Pass(51));
}

} // namespace
} // namespace vcl
