#include "app/RecordingPart.h"

#include <gtest/gtest.h>

namespace {

struct PartCase {
    const char* what;
    std::int32_t minutes, megabytes;
    std::uint64_t frames, fileBytesAfterBlock;
    bool full;
};

TEST(RecordingPart, APartIsFullAtItsLengthOrBeforeItsSizeWouldPassTheLimit) {
    const PartCase cases[] = {
        {"NoLimits", 0, 0, 44100ull * 3600 * 24, 1ull << 40, false},
        {"ShortOfAMinute", 1, 0, 44100 * 60 - 1, 0, false},
        {"AMinute", 1, 0, 44100 * 60, 0, true},
        {"SizeReached", 0, 1, 1000, 1000000, false},
        {"SizePassed", 0, 1, 1000, 1000001, true},
        {"EitherLimit", 60, 1, 1000, 1000001, true},
        {"NegativeIsOff", -1, -1, 44100 * 600, 1ull << 40, false},
        {"EmptyNeverFull", 1, 1, 0, 1ull << 40, false},
    };
    for (const PartCase& c : cases) {
        RecordingSettings settings;
        settings.SplitMinutes = c.minutes;
        settings.SplitMegabytes = c.megabytes;
        RecordingPart part;
        part.Frames = c.frames;
        EXPECT_EQ(PartFull(settings, part, c.fileBytesAfterBlock), c.full) << c.what;
    }
}

TEST(RecordingPart, AMarkerLiesAfterTheAudioHandedOverByTheTimeSinceUpToABlock) {
    RecordingSettings settings; // 44100 Hz, blocks of 4410 frames: 100 ms
    RecordingPart part;
    part.Frames = 44100 * 12;
    part.LastBlockTick = 1000;
    EXPECT_DOUBLE_EQ(MarkerSeconds(settings, part, 1000, false), 12.0);
    EXPECT_DOUBLE_EQ(MarkerSeconds(settings, part, 1030, false), 12.03);
    EXPECT_DOUBLE_EQ(MarkerSeconds(settings, part, 5000, false), 12.1);
    EXPECT_DOUBLE_EQ(MarkerSeconds(settings, part, 1030, true), 12.0);
}

} // namespace
