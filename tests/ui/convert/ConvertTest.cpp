// The converter window offscreen with the real lame: a conversion to its end, a cancel midway,
// the refused close box, a missing encoder and a missing source.

#include "ui/convert/convert.h"

#include "DecodedAudio.h"
#include "SineWav.h"
#include "TestPaths.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class ConvertTest : public ::testing::Test {
protected:
    std::string dir = test_paths::FreshDir(
        std::string("convert_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RecordingSettings settings;
    TFormConvert form{settings};

    void Prepare(const std::string& name, std::uint32_t rate, std::int32_t channels,
                 std::uint32_t seconds) {
        form.SourcePath = dir + "/" + name + ".wav";
        form.TargetPath = dir + "/" + name + ".mp3";
        form.SourceRate = rate;
        form.SourceChannels = static_cast<std::uint32_t>(channels);
        sine_wav::Write(form.SourcePath, rate, channels, rate * seconds, 1000);
    }
    bool TargetExists() const { return std::filesystem::exists(form.TargetPath); }
};

TEST_F(ConvertTest, A48kHzMonoWavBecomesAnMp3OfThatFormatAndLength) {
    Prepare("mono48", 48000, 1, 3);
    EXPECT_EQ(form.size(), QSize(319, 137));
    EXPECT_EQ(form.windowTitle(), "Converting WAV to MP3");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.show();
    EXPECT_EQ(form.LabSource->text(), "Source: mono48.wav");
    EXPECT_EQ(form.LabTarget->text(), "Target:  mono48.mp3");

    EXPECT_TRUE(form.Convert());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Converting());
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_EQ(form.Label1->text(), "Converting file ...100%");

    const decoded_audio::Audio mp3 = decoded_audio::Decode(form.TargetPath);
    ASSERT_EQ(mp3.Rate, 48000);
    EXPECT_EQ(mp3.Channels, 1);
    EXPECT_NEAR(double(mp3.Frames()), 3 * 48000, 1152);
    const auto sine = decoded_audio::MeasureSine(mp3, 0, 48000, 96000, 1000);
    EXPECT_NEAR(sine.Frequency, 1000, 1);
}

TEST_F(ConvertTest, CancelMidwayLeavesNoTargetAndTheLastPercentShown) {
    Prepare("long", 44100, 2, 120);
    form.show();
    // A timer with no interval runs whenever the window's events do, as the capture poll would.
    int ticks = 0;
    QTimer monitor;
    QObject::connect(&monitor, &QTimer::timeout, [&] { ++ticks; });
    monitor.start(0);
    bool closeBoxRefused = false;
    bool cancelAsked = false;
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, [&](int percent) {
        if (percent >= 10 && !closeBoxRefused) {
            form.close();
            closeBoxRefused = form.isVisible();
        }
        if (percent >= 30 && !cancelAsked) {
            cancelAsked = true;
            QTimer::singleShot(0, form.BtnCancel, &QPushButton::click);
        }
    });

    EXPECT_FALSE(form.Convert());
    EXPECT_TRUE(closeBoxRefused);
    EXPECT_TRUE(cancelAsked);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(TargetExists());
    const int shown = form.ProgressBar1->value();
    EXPECT_GE(shown, 30);
    EXPECT_LT(shown, 100);
    EXPECT_EQ(form.Label1->text(), "Converting file ..." + QString::number(shown) + "%");

    // Once it has ended, the close box works.
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ConvertTest, WithoutTheEncoderItSaysSoAndStillReadsTheWholeSource) {
    Prepare("noencoder", 44100, 2, 2);
    const std::string path = std::getenv("PATH");
    const std::string empty = dir + "/empty";
    std::filesystem::create_directories(empty);
    setenv("PATH", empty.c_str(), 1);
    QString text;
    QTimer::singleShot(100, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->buttons().front()->click();
    });
    form.show();
    const bool completed = form.Convert();
    setenv("PATH", path.c_str(), 1);

    EXPECT_EQ(text, "Could not start encoding");
    EXPECT_TRUE(completed);
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(TargetExists());
}

TEST_F(ConvertTest, WithoutASourceTheTargetIsDeleted) {
    form.TargetPath = dir + "/stale.mp3";
    std::ofstream(form.TargetPath) << "old";
    form.show();
    EXPECT_FALSE(form.Convert());
    EXPECT_FALSE(TargetExists());
    EXPECT_FALSE(form.isVisible());
}

} // namespace
