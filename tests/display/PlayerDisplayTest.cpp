// The player's display: the time format, the grid, the shortened file name, and the spectrum
// bars and caps after a known spectrum, falling draw by draw.

#include "display/PlayerDisplay.h"

#include "ScreenFixture.h"
#include "library/ListTexts.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

struct TimeCase {
    double seconds;
    const char* text;
};
void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << c.seconds << " s";
}

class PlayerTimeFormat : public testing::TestWithParam<TimeCase> {};

TEST_P(PlayerTimeFormat, RoundsHalvesToEvenAndCarries) {
    EXPECT_EQ(DurationText(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Times, PlayerTimeFormat,
                         testing::Values(TimeCase{0, "00:00:00"}, TimeCase{0.5, "00:00:00"},
                                         TimeCase{1.5, "00:00:02"}, TimeCase{2.5, "00:00:02"},
                                         TimeCase{59.4, "00:00:59"}, TimeCase{59.5, "00:01:00"},
                                         TimeCase{3599.5, "01:00:00"}, TimeCase{3725.6, "01:02:06"},
                                         // Past 2^31 bytes of 44.1 kHz stereo: 3 h 22 min 53 s.
                                         TimeCase{12173.9, "03:22:54"},
                                         TimeCase{360000, "10:00:00"}, TimeCase{-1, "00:00:00"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

const QColor CapColour(200, 200, 255);
const QColor BarColour(120, 150, 255);
constexpr int H = PlayerDisplayHeight;

class PlayerDisplayTest : public testing::Test {
protected:
    PlayerDisplayTest() {
        QFont font("MS Sans Serif");
        font.setPointSize(8);
        SetupPlayerDisplay(display, font);
        settings.BackgroundColor = 0x302010;
    }

    void Draw(DisplayForm form, double position = 0, double length = 0) {
        PlayerDisplayInputs inputs;
        inputs.Form = form;
        inputs.Settings = &settings;
        inputs.CurrentFile = &file;
        inputs.PositionSeconds = position;
        inputs.LengthSeconds = length;
        DrawPlayerDisplay(display, inputs);
    }

    QColor At(int x, int y) const { return display.Bitmap.pixelColor(x, y); }
    QColor Background() const { return ColourFromSetting(settings.BackgroundColor); }
    // The row of the times, where only their text is drawn.
    QImage Times() const { return display.Bitmap.copy(0, 16, PlayerDisplayWidth, 18); }

    RecordingSettings settings;
    std::string file = "/music/record001.wav";
    PlayerDisplayState display;
};

TEST_F(PlayerDisplayTest, TimesRoundWithTheirCarryAndTheIdleFormReadsZero) {
    Draw(DisplayForm::Playing, 60, 125);
    const QImage minute = Times();
    Draw(DisplayForm::Playing, 59.5, 125);
    EXPECT_EQ(Times(), minute) << "59.5 s carries into 00:01:00";
    Draw(DisplayForm::Playing, 59.4, 125);
    EXPECT_NE(Times(), minute);

    Draw(DisplayForm::Playing, 0, 125);
    const QImage zero = Times();
    Draw(DisplayForm::Playing, 0.5, 125);
    EXPECT_EQ(Times(), zero) << "0.5 s rounds to the even 0";
    Draw(DisplayForm::Idle, 59.5, 125);
    EXPECT_EQ(Times(), zero) << "the idle form shows the position as 00:00:00";
    EXPECT_EQ(CountColour(Times(), CapColour) > 0, true);
}

TEST_F(PlayerDisplayTest, SolidCentreLineFrom35DottedGridAndLettersOnlyForStereo) {
    settings.Channels = 1;
    file.clear();
    Draw(DisplayForm::Idle);
    for (int y = 35; y < H; ++y)
        EXPECT_EQ(At(125, y), Grey) << "y = " << y;
    EXPECT_EQ(At(125, 34), Background());
    // Nothing but the times above the grid when mono.
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < PlayerDisplayWidth; ++x)
            if (y < 16 || x < 80) {
                ASSERT_EQ(At(x, y), Background()) << x << ", " << y;
            }
    // Dotted rows from x = 1 and columns from y = 35; column 0 and the gaps stay background.
    for (int y : {35, 52, 70, 87, 105, 122}) {
        EXPECT_EQ(At(0, y), Background()) << "y = " << y;
        EXPECT_EQ(At(1, y), Grey) << "y = " << y;
        EXPECT_NE(At(2, y), Grey) << "y = " << y;
    }
    for (int x : {25, 50, 75, 100, 150, 175, 200, 225}) {
        EXPECT_EQ(At(x, 34), Background()) << "x = " << x;
        EXPECT_EQ(At(x, 35), Grey) << "x = " << x;
        EXPECT_NE(At(x, 36), Grey) << "x = " << x;
    }
    EXPECT_EQ(At(1, 36), Background());

    settings.Channels = 2;
    Draw(DisplayForm::Idle);
    EXPECT_GT(CountColour(display.Bitmap.copy(2, 20, 8, 14), Grey), 0) << "L";
    EXPECT_GT(CountColour(display.Bitmap.copy(240, 20, 10, 14), Grey), 0) << "R";
}

TEST_F(PlayerDisplayTest, NameLosesItsFolderIsCutTo260PixelsAndCentred) {
    const QFontMetrics metrics(display.Font);
    file = "/music/record001.wav";
    Draw(DisplayForm::Idle);
    EXPECT_EQ(display.NameText, "record001.wav");
    EXPECT_EQ(display.NameX, std::lrint(125 - metrics.horizontalAdvance("record001.wav") / 2.0));
    const QImage firstName = display.Bitmap.copy(0, 0, PlayerDisplayWidth, 16);

    const QString longName = QString("recording of a very long afternoon session ").repeated(3);
    file = "/music/" + longName.toStdString();
    Draw(DisplayForm::Idle);
    const QString shown = display.NameText;
    EXPECT_NE(display.Bitmap.copy(0, 0, PlayerDisplayWidth, 16), firstName)
        << "a new file's name is drawn, not the last one's";
    ASSERT_TRUE(longName.startsWith(shown));
    EXPECT_LE(metrics.horizontalAdvance(shown), 260);
    EXPECT_GT(metrics.horizontalAdvance(longName.left(shown.size() + 1)), 260);
    EXPECT_GT(metrics.horizontalAdvance(shown), 250) << "the cut allows ten pixels past the image";
    EXPECT_LT(display.NameX, 0);
}

struct BarCase {
    float value;
    int height;
};
void PrintTo(const BarCase& c, std::ostream* os) {
    *os << "magnitude " << c.value;
}

class PlayerBars : public PlayerDisplayTest, public testing::WithParamInterface<BarCase> {};

TEST_P(PlayerBars, BinTwoOfEachChannelGivesTheInnermostBarAndCap) {
    const auto [value, height] = GetParam();
    display.Spectrum.fill(0);
    display.Spectrum[4] = value;  // bin 2, left
    display.Spectrum[5] = -value; // bin 2, right: the magnitude counts
    Draw(DisplayForm::Playing);
    EXPECT_EQ(display.LeftBars[0], height);
    EXPECT_EQ(display.LeftCaps[0], height);
    EXPECT_EQ(display.RightBars[0], height);
    const int top = H - 2 - height;
    // Left: the bar fills columns 118 and 119 up from row 137; the cap covers 119 and 120.
    // Below the times, the highest a bar reaches.
    for (int y = 30; y < H; ++y) {
        const bool inBar = y >= top && y <= H - 3;
        ASSERT_EQ(At(118, y) == BarColour, inBar) << "y = " << y;
        ASSERT_EQ(At(119, y) == BarColour, inBar) << "y = " << y;
        ASSERT_EQ(At(120, y) == CapColour, y == top) << "y = " << y;
        ASSERT_EQ(At(130, y) == BarColour, inBar) << "y = " << y;
        ASSERT_EQ(At(131, y) == BarColour, inBar) << "y = " << y;
        ASSERT_NE(At(132, y), BarColour) << "y = " << y;
        ASSERT_NE(At(117, y), BarColour) << "y = " << y;
    }
    // The next bins (i = 1) stay at 0: no bar, their caps on row 138.
    EXPECT_EQ(At(115, H - 3), Background());
    EXPECT_EQ(At(117, H - 2), CapColour);
    EXPECT_EQ(At(133, H - 2), CapColour);
}

INSTANTIATE_TEST_SUITE_P(Heights, PlayerBars,
                         testing::Values(BarCase{0.1f, 50}, BarCase{0.2199f, 109},
                                         BarCase{0.2219f, 110}, BarCase{0.2221f, 108},
                                         BarCase{1.0f, 108}, BarCase{0.0019f, 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(PlayerDisplayTest, CapsFallOnePixelATickAndBarsTwoDownToZero) {
    display.Spectrum.fill(0);
    display.Spectrum[2 * (10 + 2)] = 0.1f;     // left, i = 10: x = 90
    display.Spectrum[2 * (20 + 2) + 1] = 0.1f; // right, i = 20: x = 190
    Draw(DisplayForm::Playing);
    display.Spectrum.fill(0);
    for (int tick = 1; tick <= 60; ++tick) {
        Draw(DisplayForm::Playing);
        const int cap = std::max(50 - tick, 0);
        const int bar = std::max(50 - 2 * tick, 0);
        ASSERT_EQ(display.LeftCaps[10], cap) << "tick " << tick;
        ASSERT_EQ(display.LeftBars[10], bar) << "tick " << tick;
        ASSERT_EQ(display.RightCaps[20], cap) << "tick " << tick;
        ASSERT_EQ(display.RightBars[20], bar) << "tick " << tick;
        ASSERT_EQ(At(90, H - 2 - cap), CapColour) << "tick " << tick;
        ASSERT_EQ(At(191, H - 2 - cap), CapColour) << "tick " << tick;
        if (bar > 0) {
            ASSERT_EQ(At(88, H - 2 - bar), BarColour) << "tick " << tick;
            ASSERT_NE(At(88, H - 3 - bar), BarColour) << "tick " << tick;
            ASSERT_EQ(At(191, H - 2 - bar), BarColour) << "tick " << tick;
        } else {
            ASSERT_NE(At(88, H - 3), BarColour) << "tick " << tick;
        }
    }
    // Nothing else ever moved.
    EXPECT_EQ(display.LeftCaps[9], 0);
    EXPECT_EQ(display.RightBars[10], 0);

    // The idle form leaves the bars alone: they go on from where they stood.
    display.Spectrum[2 * (10 + 2)] = 0.1f;
    Draw(DisplayForm::Playing);
    Draw(DisplayForm::Idle);
    EXPECT_EQ(display.LeftBars[10], 50);
    EXPECT_EQ(CountColour(display.Bitmap, BarColour), 0);
}

} // namespace
