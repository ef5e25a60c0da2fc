#include "warp/local_spline.h"

#include <gtest/gtest.h>

#include <random>

namespace lumora::warp {
namespace {

TEST(LocalCubicSpline, PassesThroughEveryKnotOfAnIrregularCurve) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> step(20.0f, 200.0f);
    std::uniform_real_distribution<float> value(-300.0f, 300.0f);
    for (int n : {5, 9, 17}) {
        float knots[kMaxKnots];
        float values[kMaxKnots];
        knots[0] = 10.0f;
        for (int k = 0; k < n; ++k) {
            if (k > 0) {
                knots[k] = knots[k - 1] + step(random);
            }
            values[k] = value(random);
        }
        SplineSegments segments;
        SplineFault fault;
        ASSERT_TRUE(LocalCubicSpline(knots, values, n, segments, fault));
        for (int k = 0; k + 1 < n; ++k) {
            SCOPED_TRACE(testing::Message() << "n " << n << " segment " << k);
            EXPECT_EQ(segments[k].c0, values[k]);
            EXPECT_NEAR(EvaluateSegment(segments[k], knots[k + 1] - knots[k]), values[k + 1],
                        0.01f);
        }
    }
}

TEST(LocalCubicSpline, StraightLinesStayStraightAndExtrapolate) {
    const float knots[] = {0.0f, 120.0f, 240.0f, 360.0f, 480.0f};
    const float values[] = {5.0f, 35.0f, 65.0f, 95.0f, 125.0f};
    SplineSegments segments;
    SplineFault fault;
    ASSERT_TRUE(LocalCubicSpline(knots, values, 5, segments, fault));
    EXPECT_EQ(segments[1].c2, 0.0f);
    EXPECT_EQ(segments[1].c3, 0.0f);
    EXPECT_EQ(EvaluateCurve(segments, knots, 5, -40.0f), -5.0f);   // segment 0, extrapolated
    EXPECT_EQ(EvaluateCurve(segments, knots, 5, 600.0f), 155.0f);  // last segment
}

TEST(LocalCubicSpline, SegmentSearchTakesTheFirstSegmentEndingBeyondT) {
    const float knots[] = {0.0f, 10.0f, 20.0f, 30.0f, 40.0f};
    EXPECT_EQ(SegmentAt(knots, 5, -5.0f), 0);
    EXPECT_EQ(SegmentAt(knots, 5, 10.0f), 1);  // a knot starts its own segment
    EXPECT_EQ(SegmentAt(knots, 5, 29.9f), 2);
    EXPECT_EQ(SegmentAt(knots, 5, 30.0f), 3);
    EXPECT_EQ(SegmentAt(knots, 5, 99.0f), 3);
}

TEST(LocalCubicSpline, CoincidentKnotsAreRefusedNotDividedBy) {
    const float knots[] = {0.0f, 10.0f, 10.0f, 30.0f, 40.0f};
    const float values[] = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f};
    SplineSegments segments;
    SplineFault fault;
    ASSERT_FALSE(LocalCubicSpline(knots, values, 5, segments, fault));
    EXPECT_EQ(fault.kind, SplineFault::Kind::kCoincidentKnots);
    EXPECT_EQ(fault.knot, 1);
}

}  // namespace
}  // namespace lumora::warp
