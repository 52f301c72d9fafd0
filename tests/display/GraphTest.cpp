// Pixels of the two screens in the cases where an off-by-one or a wrong scale would show.

#include "ScreenFixture.h"

#include <vector>

namespace {

using GraphTest = ScreenFixture;

TEST_F(GraphTest, SilentStereoBlockInTheMixedViewLiesOnTheCentreLineWithoutBars) {
    Configure(2, false);
    FillBlock(0, 0);
    SetPeaks(0, 0);
    DrawScreens(screens, settings, block);

    // The right trace covers the left one; the last point (x = 249) ends the line undrawn.
    for (int x = 0; x <= 248; ++x) {
        ASSERT_EQ(Wave(x, 70), RightColour()) << "x = " << x;
    }
    EXPECT_EQ(CountColour(screens.WaveBitmap, RightColour()), 249);
    EXPECT_EQ(CountColour(screens.WaveBitmap, LeftColour()), 0);

    EXPECT_EQ(CountColour(screens.StreamBitmap, LeftColour()), 0);
    EXPECT_EQ(CountColour(screens.StreamBitmap, RightColour()), 0);
}

TEST_F(GraphTest, FullScaleSamplesReachTheTopRowAndJustBelowTheBottom) {
    Configure(2, false);
    FillBlock(32767, -32768);
    DrawWaveform(screens, settings, &block);

    // 32767 computes to y = 0 and is raised to 1, except for the unguarded first point.
    EXPECT_EQ(Wave(0, 0), LeftColour());
    EXPECT_NE(Wave(1, 0), LeftColour());
    for (int x = 0; x <= 248; ++x) {
        ASSERT_EQ(Wave(x, 1), LeftColour()) << "x = " << x;
    }
    // -32768 lands on y = 140, one row below the image, so nothing of it shows.
    const int points = WaveformSampling(settings.CaptureFrames).Points;
    for (int j = 0; j <= points; ++j) {
        ASSERT_EQ(screens.Trace[j].y(), 140) << "point " << j;
    }
    EXPECT_EQ(CountColour(screens.WaveBitmap, RightColour()), 0);
}

struct LevelStep {
    float peak;
    int level;
};

TEST_F(GraphTest, BarsFallByThirtyPercentPerBlockAndRiseAtOnce) {
    Configure(2, false);
    // 70 pixels is full scale (without a clip mark over the bar ends); a lower level, even 53,
    // shows as 70 % of the bar before it.
    // Falls of 31.5 and 24.5 go to the even neighbour.
    const std::vector<LevelStep> steps = {
        {32766, 70}, {32766, 70}, {0, 49},     {0, 34},     {0, 24},     {0, 17},
        {0, 12},     {27800, 59}, {25000, 41}, {30000, 64}, {30000, 64}, {16384, 45},
        {0, 32},     {0, 22},     {16384, 35}, {0, 24},
    };
    int previous = 0;
    for (const LevelStep& step : steps) {
        SetPeaks(step.peak, step.peak);
        DrawStream(screens, settings, block);
        const int l = step.level;
        ASSERT_EQ(screens.LevelHistoryLeft[0], l) << "after " << previous;
        ASSERT_EQ(screens.LevelHistoryRight[0], l);
        ASSERT_EQ(screens.LevelHistoryLeft[1], previous);

        // Column 0: left from the centre up, right from the centre down over row 70.
        EXPECT_NE(Stream(0, 70 - l), LeftColour());
        EXPECT_EQ(Stream(0, 71 - l), LeftColour());
        EXPECT_EQ(Stream(0, 69), LeftColour());
        EXPECT_EQ(Stream(0, 70), RightColour());
        EXPECT_EQ(Stream(0, 69 + l), RightColour());
        if (70 + l < 140) {
            EXPECT_NE(Stream(0, 70 + l), RightColour());
        }
        previous = l;
    }
}

TEST_F(GraphTest, MonoAndSplitBarsStandAroundTheirCentres) {
    SetPeaks(16384, 8192);
    Configure(1, false);
    DrawStream(screens, settings, block);
    // round(16384 x 140 / 65534) = 35: rows 36 to 105.
    EXPECT_NE(Stream(0, 35), LeftColour());
    EXPECT_EQ(Stream(0, 36), LeftColour());
    EXPECT_EQ(Stream(0, 105), LeftColour());
    EXPECT_NE(Stream(0, 106), LeftColour());

    Configure(2, true);
    ClearScreens(screens, settings, block);
    DrawStream(screens, settings, block);
    // Half the scale: 18 around row 35 and 9 around row 105.
    EXPECT_NE(Stream(0, 17), LeftColour());
    EXPECT_EQ(Stream(0, 18), LeftColour());
    EXPECT_EQ(Stream(0, 53), LeftColour());
    EXPECT_NE(Stream(0, 54), LeftColour());
    EXPECT_NE(Stream(0, 96), RightColour());
    EXPECT_EQ(Stream(0, 97), RightColour());
    EXPECT_EQ(Stream(0, 114), RightColour());
    EXPECT_NE(Stream(0, 115), RightColour());
}

struct ClipCase {
    const char* name;
    int channels;
    bool split;
    bool detection;
    bool clipLeft;
    bool clipRight;
    std::vector<std::pair<int, int>> rows; // marked row bands, first to last
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class ClipMarks : public ScreenFixture, public ::testing::WithParamInterface<ClipCase> {};

TEST_P(ClipMarks, MarkColumnOneInTheirBandsAndMoveOn) {
    const ClipCase& c = GetParam();
    settings.ClippingDetection = c.detection;
    Configure(c.channels, c.split);
    SetPeaks(c.clipLeft ? 32767 : 100, c.clipRight ? 32767 : 100);
    DrawStream(screens, settings, block);

    // A mark set in column 1 spans columns 0 and 1; the grid leaves column 0 alone.
    for (int y = 0; y < 140; ++y) {
        bool marked = false;
        for (const auto& [first, last] : c.rows) {
            marked = marked || (y >= first && y <= last);
        }
        ASSERT_EQ(Stream(0, y) == ClipMark, marked) << "row " << y;
        ASSERT_NE(Stream(2, y), ClipMark) << "row " << y;
    }

    SetPeaks(0, 0);
    DrawStream(screens, settings, block);
    for (int y = 0; y < 140; ++y) {
        ASSERT_NE(Stream(0, y), ClipMark) << "row " << y;
    }
    if (!c.rows.empty()) {
        EXPECT_EQ(Stream(2, c.rows.front().first + 1), ClipMark);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ClipMarks,
    ::testing::Values(
        ClipCase{"MonoTopAndBottom", 1, true, true, true, false, {{0, 2}, {137, 139}}},
        ClipCase{"MonoIgnoresTheRightInput", 1, true, true, false, true, {}},
        ClipCase{"MonoWithDetectionOff", 1, true, false, true, false, {}},
        ClipCase{"MixedLeftAtTheTop", 2, false, true, true, false, {{0, 2}}},
        ClipCase{"MixedRightAtTheBottom", 2, false, true, false, true, {{137, 139}}},
        ClipCase{"SplitLeftHalf", 2, true, true, true, false, {{0, 2}, {67, 69}}},
        ClipCase{"SplitRightHalf", 2, true, true, false, true, {{70, 72}, {137, 139}}},
        ClipCase{"SplitBoth", 2, true, true, true, true, {{0, 2}, {67, 69}, {70, 72}, {137, 139}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphTest, SwitchingTheSplitRedrawsTheNextBlockAroundTheNewCentres) {
    FillBlock(16384, -16384);
    SetPeaks(16384, 16384);
    Configure(2, true);
    DrawScreens(screens, settings, block);
    // Half scale: 16384 is 18 pixels from the centres 35 and 105.
    EXPECT_EQ(Wave(10, 17), LeftColour());
    EXPECT_EQ(Wave(10, 123), RightColour());
    EXPECT_EQ(screens.LevelHistoryLeft[0], 18);

    Configure(2, false);
    DrawScreens(screens, settings, block);
    EXPECT_EQ(Wave(10, 35), LeftColour());
    EXPECT_EQ(Wave(10, 105), RightColour());
    EXPECT_NE(Wave(10, 17), LeftColour());
    EXPECT_NE(Wave(10, 123), RightColour());
    // The history keeps the bar computed under the old scale.
    EXPECT_EQ(screens.LevelHistoryLeft[0], 35);
    EXPECT_EQ(screens.LevelHistoryLeft[1], 18);
}

struct SamplingCase {
    std::uint32_t rate;
    int step;
    int points;
    int spikeX; // where frame 100 x step is drawn
};

class WaveSamplingTest : public ScreenFixture,
                         public ::testing::WithParamInterface<SamplingCase> {};

TEST_P(WaveSamplingTest, DrawsEveryStepthFrameAcrossTheWidth) {
    const SamplingCase& c = GetParam();
    settings.Wav = true;
    settings.MP3 = false;
    settings.SamplesPerSecond = c.rate;
    ComputeBlockSizes(settings);
    Configure(1, false);

    const WaveSampling sampling = WaveformSampling(settings.CaptureFrames);
    EXPECT_EQ(sampling.Step, c.step);
    EXPECT_EQ(sampling.Points, c.points);

    FillBlock(0, 0);
    block.LeftSamples[100 * c.step] = 32767;
    DrawWaveform(screens, settings, &block);
    EXPECT_EQ(screens.Trace[101], QPoint(c.spikeX, 1));
    EXPECT_EQ(Wave(c.spikeX, 1), LeftColour());
    EXPECT_EQ(screens.Trace[c.points].x(), 249);

    // A frame between two drawn ones never shows.
    FillBlock(0, 0);
    block.LeftSamples[100 * c.step + 1] = 32767;
    DrawWaveform(screens, settings, &block);
    EXPECT_EQ(CountColour(screens.WaveBitmap, LeftColour()), 249);
}

INSTANTIATE_TEST_SUITE_P(Rates, WaveSamplingTest,
                         ::testing::Values(SamplingCase{44100, 16, 275, 91},
                                           SamplingCase{48000, 17, 282, 89},
                                           SamplingCase{96000, 34, 282, 89}));

TEST_F(GraphTest, ColoursAreStoredRedInTheLowByte) {
    settings.BackgroundColor = 0x123456;
    settings.LeftColor = 0x0000FF;
    Configure(1, false);
    FillBlock(0, 0);
    DrawWaveform(screens, settings, &block);
    EXPECT_EQ(Wave(5, 5), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(Wave(5, 70), QColor(255, 0, 0));
}

TEST_F(GraphTest, BackgroundPicturesAreStretchedOnlyWhileTheirFlagIsSet) {
    Configure(1, false);
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixelColor(0, 0, Qt::red);
    picture.setPixelColor(1, 0, Qt::green);
    picture.setPixelColor(0, 1, Qt::blue);
    picture.setPixelColor(1, 1, Qt::white);
    screens.ImageWave = picture;
    screens.ImageStream = picture;
    screens.WaveImageLoaded = true;
    DrawScreens(screens, settings, block);

    EXPECT_EQ(Wave(5, 5), QColor(Qt::red));
    EXPECT_EQ(Wave(240, 5), QColor(Qt::green));
    EXPECT_EQ(Wave(5, 130), QColor(Qt::blue));
    EXPECT_EQ(Wave(240, 130), QColor(Qt::white));
    EXPECT_EQ(Stream(240, 130), QColor(Qt::black));

    screens.WaveImageLoaded = false;
    screens.StreamImageLoaded = true;
    DrawScreens(screens, settings, block);
    EXPECT_EQ(Wave(240, 130), QColor(Qt::black));
    EXPECT_EQ(Stream(240, 130), QColor(Qt::white));
}

TEST_F(GraphTest, ChannelLettersOnlyInStereo) {
    const auto greyIn = [](const QImage& image, int top) {
        return CountColour(image.copy(2, top, 8, 12), Grey);
    };
    DrawWaveform(screens, settings, nullptr);
    EXPECT_GT(greyIn(screens.WaveBitmap, 0), 0);
    EXPECT_GT(greyIn(screens.WaveBitmap, 128), 0);

    Configure(1, false);
    DrawWaveform(screens, settings, nullptr);
    EXPECT_EQ(greyIn(screens.WaveBitmap, 0), 0);
    EXPECT_EQ(greyIn(screens.WaveBitmap, 128), 0);
}

class RecordingSurface : public ScreenSurface {
public:
    void ShowScreen(const QImage& bitmap, QPoint at) override { shown.push_back({&bitmap, at}); }
    std::vector<std::pair<const QImage*, QPoint>> shown;
};

TEST_F(GraphTest, EachBlockHandsBothImagesToTheWindowAtTheirPlaces) {
    RecordingSurface surface;
    screens.Surface = &surface;
    DrawScreens(screens, settings, block);
    ASSERT_EQ(surface.shown.size(), 2u);
    EXPECT_EQ(surface.shown[0].first, &screens.WaveBitmap);
    EXPECT_EQ(surface.shown[0].second, QPoint(12, 41));
    EXPECT_EQ(surface.shown[1].first, &screens.StreamBitmap);
    EXPECT_EQ(surface.shown[1].second, QPoint(286, 41));
    EXPECT_EQ(screens.WaveBitmap.size(), QSize(250, 140));
    EXPECT_EQ(screens.StreamBitmap.size(), QSize(250, 140));
}

TEST_F(GraphTest, ClearingEmptiesTheHistoriesAndBringsTheLastBlockBackAsItsNewestColumn) {
    FillBlock(32767, 32767);
    SetPeaks(32767, 32767);
    for (int i = 0; i < 300; ++i) {
        DrawScreens(screens, settings, block);
    }
    const std::int32_t bar = screens.LevelHistoryLeft[0];
    ASSERT_GT(bar, 0);
    ClearScreens(screens, settings, block);

    // Only the last block remains: its full bar in column 0 and its clip mark in column 1.
    for (const ScreenHistory* history : {&screens.LevelHistoryLeft, &screens.LevelHistoryRight,
                                         &screens.ClipHistoryLeft, &screens.ClipHistoryRight}) {
        const bool level =
            history == &screens.LevelHistoryLeft || history == &screens.LevelHistoryRight;
        for (std::size_t i = 0; i < history->size(); ++i) {
            const std::int32_t expected = level ? (i == 0 ? bar : 0) : (i == 1 ? 1 : 0);
            ASSERT_EQ((*history)[i], expected) << i;
        }
    }
    ScreenState fresh;
    SetupScreens(fresh);
    SetScreenScales(fresh, settings);
    ClearScreens(fresh, settings, block);
    EXPECT_EQ(screens.StreamBitmap, fresh.StreamBitmap);
    EXPECT_EQ(screens.WaveBitmap, fresh.WaveBitmap);
    EXPECT_EQ(Stream(0, 30), LeftColour()); // inside the bar of the left channel
    EXPECT_EQ(CountColour(screens.WaveBitmap, LeftColour()), 0);
}

} // namespace
