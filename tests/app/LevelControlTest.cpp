// The level knob's geometry: positions for levels, drags past the ends, the level a position
// stands for.

#include "app/LevelControl.h"

#include <gtest/gtest.h>

namespace {

TEST(LevelControl, KnobAndBarForALevel) {
    const struct {
        float level;
        int knob;
    } cases[] = {{0.0f, 20}, {0.5f, 64}, {1.0f, 108}, {-1.0f, 20}, {1.5f, 108},
                 // 0.5 / (1/88) in float is 44 exactly; 1/176 is half a pixel: halves to even
                 {1.0f / 176.0f, 20}, {3.0f / 176.0f, 22}};
    for (const auto& c : cases) {
        EXPECT_EQ(KnobLeftForLevel(c.level), c.knob) << c.level;
        EXPECT_EQ(VolBarWidth(c.knob), c.knob - 18);
    }
    EXPECT_EQ(VolBarWidth(20), 2);
    EXPECT_EQ(VolBarWidth(108), 90);
}

TEST(LevelControl, ADragStopsAtBothEndsAndGivesTheLevelOfItsPixel) {
    EXPECT_EQ(DraggedKnobLeft(-500, 60, 4), 20);
    EXPECT_EQ(DraggedKnobLeft(500, 60, 4), 108);
    EXPECT_EQ(DraggedKnobLeft(10, 60, 4), 66);
    EXPECT_EQ(LevelForKnob(20), 0.0f);
    EXPECT_EQ(LevelForKnob(108), 88 * (1.0f / 88.0f));
    EXPECT_EQ(LevelForKnob(64), 44 * (1.0f / 88.0f));
}

} // namespace
