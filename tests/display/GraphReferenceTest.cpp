// Whole screens after a run of blocks, compared with pictures checked by eye and stored in
// tests/data/display. A mismatch leaves <name>.actual.png in the test output folder.
// The channel letters are drawn in DejaVu Sans at 11 pixels without smoothing, the font the
// screens set; another font would change only the letter boxes at the left edge.

#include "ScreenFixture.h"
#include "TestPaths.h"

#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

struct ReferenceCase {
    const char* name;
    int channels;
    bool split;
    std::uint32_t rate;
    bool pictures;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) {
    *os << c.name;
}

class ReferenceImages : public ScreenFixture, public ::testing::WithParamInterface<ReferenceCase> {
protected:
    // Block b of a signal whose loudness swells and falls: a sine on the left, a triangle on
    // the right, and a few blocks driven into clipping.
    void MakeBlock(int b) {
        const int frames = static_cast<int>(settings.CaptureFrames);
        const double swell = std::abs(std::sin(b * 0.15));
        const bool clipping = b % 17 == 5;
        for (int i = 0; i < frames; ++i) {
            const double phase = 2 * std::numbers::pi * (3.0 * i / frames + b * 0.05);
            const double left = 36000 * swell * std::sin(phase);
            const double triangle = 4.0 * std::abs(std::fmod(5.0 * i / frames, 1.0) - 0.5) - 1;
            const double right = (clipping ? 40000 : 24000) * (1 - swell) * triangle;
            block.LeftSamples[i] = static_cast<std::int16_t>(std::clamp(left, -32768.0, 32767.0));
            block.RightSamples[i] = static_cast<std::int16_t>(std::clamp(right, -32768.0, 32767.0));
        }
        block.Frames = settings.CaptureFrames;
        MeasurePeaks(block);
    }

    static QImage Picture(QColor from, QColor to) {
        QImage picture(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const double t = (x + y) / 68.0;
                picture.setPixelColor(x, y,
                                      QColor(int(from.red() + t * (to.red() - from.red())),
                                             int(from.green() + t * (to.green() - from.green())),
                                             int(from.blue() + t * (to.blue() - from.blue()))));
            }
        }
        return picture;
    }

    static void ExpectMatchesReference(const QImage& drawn, const std::string& name) {
        const std::string reference = test_paths::DataDir() + "/display/" + name + ".png";
        const QImage expected =
            QImage(QString::fromStdString(reference)).convertToFormat(QImage::Format_RGB32);
        if (expected == drawn) {
            return;
        }
        const std::filesystem::path out =
            std::filesystem::path(SONVERA_TEST_OUTPUT_DIR) / "display";
        std::filesystem::create_directories(out);
        const std::string actual = (out / (name + ".actual.png")).string();
        drawn.save(QString::fromStdString(actual));
        int differing = 0;
        if (expected.size() == drawn.size()) {
            for (int y = 0; y < drawn.height(); ++y) {
                for (int x = 0; x < drawn.width(); ++x) {
                    differing += expected.pixel(x, y) != drawn.pixel(x, y) ? 1 : 0;
                }
            }
        }
        ADD_FAILURE() << name << ": " << (expected.isNull() ? "no reference" : "differs") << " in "
                      << differing << " pixels; drawn image saved as " << actual;
    }
};

TEST_P(ReferenceImages, ScreensAfterSixtyBlocks) {
    const ReferenceCase& c = GetParam();
    if (c.rate != 44100) {
        settings.Wav = true;
        settings.MP3 = false;
        settings.SamplesPerSecond = c.rate;
        ComputeBlockSizes(settings);
    }
    if (c.pictures) {
        settings.LeftColor = 0x2020E0;  // red
        settings.RightColor = 0x40FF40; // green
        screens.ImageWave = Picture(QColor(10, 20, 60), QColor(60, 10, 40));
        screens.ImageStream = Picture(QColor(0, 40, 20), QColor(30, 30, 30));
        screens.WaveImageLoaded = true;
        screens.StreamImageLoaded = true;
    }
    Configure(c.channels, c.split);
    ClearScreens(screens, settings, block);
    for (int b = 0; b < 60; ++b) {
        MakeBlock(b);
        DrawScreens(screens, settings, block);
    }
    ExpectMatchesReference(screens.WaveBitmap, std::string(c.name) + "_wave");
    ExpectMatchesReference(screens.StreamBitmap, std::string(c.name) + "_stream");
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReferenceImages,
                         ::testing::Values(ReferenceCase{"split", 2, true, 44100, false},
                                           ReferenceCase{"mixed", 2, false, 48000, false},
                                           ReferenceCase{"mono", 1, false, 44100, false},
                                           ReferenceCase{"pictures", 2, true, 96000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
