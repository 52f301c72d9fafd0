#include "engine/global.h"

#include <gtest/gtest.h>

TEST(RecordingSettings, DefaultsBeforeTheFirstOpen) {
    const RecordingSettings s;
    EXPECT_TRUE(s.MP3);
    EXPECT_FALSE(s.Wav || s.WMA || s.OGG);
    EXPECT_EQ(s.SamplesPerSecond, 44100u);
    EXPECT_EQ(s.BitsPerSample, 16);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.LeftColor, 0xFF0000u);
    EXPECT_EQ(s.RightColor, 0x00FFFFu);
    EXPECT_EQ(s.CaptureFrames, 4096u);
}
