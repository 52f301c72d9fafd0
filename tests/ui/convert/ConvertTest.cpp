// The converter window offscreen with the real lame: a conversion to its end, a cancel midway,
// the refused close box and a second conversion refused, a missing or failing encoder and a
// missing source, each leaving an MP3 file already there as it was.

#include "ui/convert/convert.h"

#include "DecodedAudio.h"
#include "SineWav.h"
#include "TestPaths.h"
#include "library/Mp3Conversion.h"

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

    std::string source, target;
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;

    // A WAV file to convert, and an MP3 file of that name already there.
    void Prepare(const std::string& name, std::uint32_t sourceRate, std::int32_t sourceChannels,
                 std::uint32_t seconds) {
        source = dir + "/" + name + ".wav";
        target = dir + "/" + name + ".mp3";
        rate = sourceRate;
        channels = static_cast<std::uint32_t>(sourceChannels);
        sine_wav::Write(source, rate, sourceChannels, rate * seconds, 1000);
        std::ofstream(target) << "old";
    }
    bool Convert() { return form.Convert(source, target, rate, channels); }
    bool OldTargetKept() const {
        std::ifstream old(target);
        return std::string(std::istreambuf_iterator<char>(old), {}) == "old";
    }
    // Converts, answering the one box that shows; returns the box's text. The box is looked for
    // until it shows: the first decode loads FFmpeg, which a busy machine makes slow.
    QString ConvertAnsweringTheBox(bool& completed) {
        QString text;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                answer.stop();
                text = box->text();
                box->buttons().front()->click();
            }
        });
        answer.start(20);
        form.show();
        completed = Convert();
        EXPECT_FALSE(answer.isActive()) << "no box showed";
        return text;
    }
    // Only `folder` is searched for the encoder until the test ends.
    void OnlyOnPath(const std::string& folder) {
        std::filesystem::create_directories(folder);
        setenv("PATH", folder.c_str(), 1);
    }
    ~ConvertTest() override { setenv("PATH", path.c_str(), 1); }

private:
    std::string path = std::getenv("PATH");
};

TEST_F(ConvertTest, A48kHzMonoWavBecomesAnMp3OfThatFormatAndLength) {
    Prepare("mono48", 48000, 1, 3);
    EXPECT_EQ(form.size(), QSize(319, 137));
    EXPECT_EQ(form.windowTitle(), "Converting WAV to MP3");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.show();
    EXPECT_TRUE(Convert());
    EXPECT_EQ(form.LabSource->text(), "Source: mono48.wav");
    EXPECT_EQ(form.LabTarget->text(), "Target:  mono48.mp3");
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Converting());
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_EQ(form.Label1->text(), "Converting file ...100%");

    const decoded_audio::Audio mp3 = decoded_audio::Decode(target);
    ASSERT_EQ(mp3.Rate, 48000);
    EXPECT_EQ(mp3.Channels, 1);
    EXPECT_NEAR(double(mp3.Frames()), 3 * 48000, 1152);
    const auto sine = decoded_audio::MeasureSine(mp3, 0, 48000, 96000, 1000);
    EXPECT_NEAR(sine.Frequency, 1000, 1);
}

TEST_F(ConvertTest, CancelMidwayKeepsTheOldTargetAndTheLastPercentShown) {
    Prepare("long", 44100, 2, 120);
    form.show();
    // A timer with no interval runs whenever the window's events do, as the capture poll would.
    int ticks = 0;
    QTimer monitor;
    QObject::connect(&monitor, &QTimer::timeout, [&] { ++ticks; });
    monitor.start(0);
    bool closeBoxRefused = false;
    bool secondRefused = false;
    bool cancelAsked = false;
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, [&](int percent) {
        if (percent >= 10 && !closeBoxRefused) {
            form.close();
            closeBoxRefused = form.isVisible();
            // The running conversion keeps its files, whatever a second one names.
            secondRefused = !form.Convert(dir + "/other.wav", dir + "/other.mp3", 44100, 2) &&
                            form.TargetPath == target &&
                            form.LabTarget->text() == "Target:  long.mp3";
        }
        if (percent >= 30 && !cancelAsked) {
            cancelAsked = true;
            QTimer::singleShot(0, form.BtnCancel, &QPushButton::click);
        }
    });

    EXPECT_FALSE(Convert());
    EXPECT_TRUE(closeBoxRefused);
    EXPECT_TRUE(secondRefused);
    EXPECT_TRUE(cancelAsked);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(OldTargetKept());
    EXPECT_FALSE(std::filesystem::exists(PartialMp3Path(target)));
    const int shown = form.ProgressBar1->value();
    EXPECT_GE(shown, 30);
    EXPECT_LT(shown, 100);
    EXPECT_EQ(form.Label1->text(), "Converting file ..." + QString::number(shown) + "%");

    // Once it has ended, the close box works.
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ConvertTest, WithoutTheEncoderItSaysSoStillReadsTheWholeSourceAndKeepsTheOldTarget) {
    Prepare("noencoder", 44100, 2, 2);
    OnlyOnPath(dir + "/empty");
    bool completed = true;
    EXPECT_EQ(ConvertAnsweringTheBox(completed), "Could not start encoding");
    EXPECT_FALSE(completed);
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(OldTargetKept());
}

TEST_F(ConvertTest, AnEncoderThatDiesIsReportedAndTheOldTargetKept) {
    Prepare("dies", 44100, 2, 10);
    // Writes its file, takes a few blocks and fails.
    OnlyOnPath(dir + "/bin");
    std::ofstream(dir + "/bin/lame") << "#!/bin/sh\nfor out; do :; done\necho partial > \"$out\"\n"
                                        "head -c 30000 > /dev/null\nexit 1\n";
    std::filesystem::permissions(dir + "/bin/lame", std::filesystem::perms::owner_all);
    bool completed = true;
    EXPECT_EQ(ConvertAnsweringTheBox(completed),
              QString::fromStdString("The MP3 encoder stopped before the end of " + source +
                                     "; the conversion was not completed."));
    EXPECT_FALSE(completed);
    EXPECT_TRUE(OldTargetKept());
    EXPECT_FALSE(std::filesystem::exists(PartialMp3Path(target)));
}

TEST_F(ConvertTest, ASourceThatIsNoAudioIsReportedAndTheOldTargetKept) {
    Prepare("noaudio", 44100, 2, 1);
    std::ofstream(source) << std::string(50000, 'x');
    bool completed = true;
    EXPECT_EQ(
        ConvertAnsweringTheBox(completed),
        QString::fromStdString("Could not read " + source + " as audio; it was not converted."));
    EXPECT_FALSE(completed);
    EXPECT_TRUE(OldTargetKept());
    EXPECT_FALSE(std::filesystem::exists(PartialMp3Path(target)));
}

TEST_F(ConvertTest, WithoutASourceTheTargetIsLeftAsItWas) {
    target = dir + "/stale.mp3";
    std::ofstream(target) << "old";
    form.show();
    EXPECT_FALSE(Convert());
    EXPECT_TRUE(OldTargetKept());
    EXPECT_FALSE(form.isVisible());
}

} // namespace
