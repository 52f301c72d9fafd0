#pragma once
// Screens set up as the main window sets them up, a block to draw, and pixel helpers.

#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/global.h"

#include <gtest/gtest.h>

class ScreenFixture : public ::testing::Test {
protected:
    // Stereo at 44100 Hz (4410 frames a block) unless a test changes the settings.
    ScreenFixture() {
        ComputeBlockSizes(settings);
        SetupScreens(screens);
        SetScreenScales(screens, settings);
    }

    void Configure(int channels, bool split) {
        settings.Channels = channels;
        settings.SplitChannels = split;
        SetScreenScales(screens, settings);
    }

    void FillBlock(std::int16_t left, std::int16_t right) {
        block.LeftSamples.fill(left);
        block.RightSamples.fill(right);
    }

    // Peaks given directly; a peak of 32767 or more clips, as the engine flags it.
    void SetPeaks(float left, float right) {
        block.PeakLeft = std::min(left, 32767.0f);
        block.PeakRight = std::min(right, 32767.0f);
        block.ClipLeft = left >= 32767 ? 1 : 0;
        block.ClipRight = right >= 32767 ? 1 : 0;
    }

    QColor Wave(int x, int y) const { return screens.WaveBitmap.pixelColor(x, y); }
    QColor Stream(int x, int y) const { return screens.StreamBitmap.pixelColor(x, y); }

    QColor LeftColour() const { return ColourFromSetting(settings.LeftColor); }
    QColor RightColour() const { return ColourFromSetting(settings.RightColor); }

    RecordingSettings settings;
    ScreenState screens;
    ConvertedBlock block;
};

inline const QColor Grey(145, 145, 145);
inline const QColor ClipMark(255, 100, 100);

// How many pixels of an image have the colour.
inline int CountColour(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}
