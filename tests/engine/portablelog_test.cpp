#include "engine/portablelog.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

std::uint64_t bitsOf(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The bits the web player's engine computes for these (and any browser's classic
// algorithm); a platform log gives other bits for the first three.
TEST(PortableLog, GivesTheSameBitsAsTheWebEngine) {
    EXPECT_EQ(bitsOf(engine::portableLog(3.0)), 0x3ff193ea7aad030aull);
    EXPECT_EQ(bitsOf(engine::portableLog(1.4)), 0x3fd588c2d913348eull);
    EXPECT_EQ(bitsOf(engine::portableLog(1.6)), 0x3fde148a1a2726ceull);
    EXPECT_EQ(bitsOf(engine::portableLog(0.1)), 0xc0026bb1bbb55515ull);
    EXPECT_EQ(bitsOf(engine::portableLog(1e-310)), 0xc0864e69394d9508ull);
    EXPECT_EQ(bitsOf(engine::portableLog(12345.678)), 0x4022d79559791e31ull);
    EXPECT_EQ(engine::portableLog(1.0), 0.0);
}

TEST(PortableLog, StaysWithinOneUnitOfThePlatformAndHandlesTheEdges) {
    // Ratios of the search: top species over a state's count, and state counts.
    for (int t = 1; t < 400; ++t)
        for (int c = 1; c <= t; ++c) {
            const double x = double(t) / double(c);
            const double ours = engine::portableLog(x), theirs = std::log(x);
            ASSERT_LE(std::fabs(ours - theirs), std::fabs(theirs) * 4e-16 + 1e-300)
                << t << "/" << c;
        }
    EXPECT_EQ(engine::portableLog(0.0), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(engine::portableLog(-1.0)));
    EXPECT_EQ(engine::portableLog(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
    EXPECT_NEAR(engine::portableLog(std::numeric_limits<double>::denorm_min()), -744.44007192138,
                1e-9);
}

}  // namespace
