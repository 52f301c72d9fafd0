// The main window's View, Options and Help menus, the level knob against the sound server's
// source volume, and the sound server's volume control started from the source label.

#include "MainWindowFixture.h"
#include "app/LevelControl.h"

#include <QAction>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <cstdio>

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// The default source's volume in percent, as the sound server reports it.
int SourceVolumePercent() {
    const std::string text = Shell("pactl get-source-volume @DEFAULT_SOURCE@");
    const auto percent = text.find('%');
    const auto start = text.rfind(' ', percent);
    return percent == std::string::npos ? -1 : std::stoi(text.substr(start + 1, percent - start));
}

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions())
        if (action->isVisible())
            captions << (action->isSeparator() ? "-" : action->text());
    return captions;
}

TEST_F(MainWindowTest, MenusEnableTheirItemsByStateWhenTheyOpen) {
    EXPECT_EQ(Captions(form->menuView),
              QStringList({"Clipping Detection", "-", "Split Channels", "-",
                           "Left Channel Color...", "Right Channel Color...", "Background Color...",
                           "-", "Waveform Background Image... ", "Stream Background Image..."}));
    EXPECT_EQ(Captions(form->menuOptions),
              QStringList({"Recording Control...", "-", "Format Settings...", "-", "Add Marker\tF8",
                           "Scheduled Recording...", "Automatic Recording..."}))
        << "no device page in the newer family";
    EXPECT_TRUE(form->menuClipDetect->isChecked());
    EXPECT_TRUE(form->menuSplit->isChecked());

    const struct {
        const char* what;
        bool recording;
        int channels;
        bool splitEnabled;
        bool optionsEnabled;
    } cases[] = {{"idle stereo", false, 2, true, true},
                 {"idle mono", false, 1, false, true},
                 {"recording", true, 2, true, false}};
    for (const auto& c : cases) {
        form->Core().Settings.Channels = c.channels;
        if (c.recording)
            form->Core().session.StartRecording();
        form->menuViewClick();
        form->menuOptionsClick();
        EXPECT_EQ(form->menuSplit->isEnabled(), c.splitEnabled) << c.what;
        EXPECT_EQ(form->menuRecControl->isEnabled(), c.optionsEnabled) << c.what;
        EXPECT_EQ(form->menuRecSettings->isEnabled(), c.optionsEnabled) << c.what;
        EXPECT_EQ(form->menuAutomatic->isEnabled(), c.optionsEnabled) << c.what;
        EXPECT_EQ(form->menuMarker->isEnabled(), !c.optionsEnabled) << c.what;
        form->Core().session.StopAll();
    }
    form->menuOptionsClick();
    EXPECT_TRUE(form->menuRecSettings->isEnabled()) << "enabled again after the recording";

    form->Core().Flags.VistaMode = false;
    form->Core().session.StartRecording();
    form->menuOptionsClick();
    EXPECT_FALSE(form->menuRecDevice->isEnabled()) << "older family: the device page too";
    form->Core().session.StopAll();
}

TEST_F(MainWindowTest, TogglesAndColoursChangeTheSettings) {
    form->menuClipDetect->trigger();
    EXPECT_FALSE(form->Core().Settings.ClippingDetection);
    const float splitScale = form->Core().Screens.WaveScaleY;
    form->menuSplit->trigger();
    EXPECT_FALSE(form->Core().Settings.SplitChannels);
    EXPECT_NE(form->Core().Screens.WaveScaleY, splitScale) << "the scale follows the view";

    form->Core().Settings.BackgroundColor = 0x123456; // blue 0x12, green 0x34, red 0x56
    QColor preset;
    QTimer::singleShot(200, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        preset = dialog->currentColor();
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    form->menuBackColor->trigger();
    EXPECT_EQ(preset, QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(form->Core().Settings.BackgroundColor, 0x030201u);

    QTimer::singleShot(200, [] { QApplication::activeModalWidget()->close(); });
    form->menuLeftColor->trigger();
    EXPECT_EQ(form->Core().Settings.LeftColor, 0xFF0000u) << "a cancelled dialog changes nothing";
}

class LevelKnobTest : public MainWindowTest {
protected:
    void TearDown() override { Shell("pactl set-source-volume @DEFAULT_SOURCE@ 100%"); }

    void Drag(int fromX, int toX, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(form->ImageVol, button, {}, QPoint(fromX, 9));
        QMouseEvent move(QEvent::MouseMove, QPointF(toX, 9),
                         form->ImageVol->mapToGlobal(QPointF(toX, 9)), Qt::NoButton, button, {});
        QApplication::sendEvent(form->ImageVol, &move);
        QTest::mouseRelease(form->ImageVol, button, {}, QPoint(toX, 9));
    }
};

TEST_F(LevelKnobTest, TheKnobSetsTheSourceVolumeAndFollowsItWithinATick) {
    // A level set outside reaches the program as the server's report of it, in a moment;
    // the status tick after that places the knob.
    Shell("pactl set-source-volume @DEFAULT_SOURCE@ 50%");
    QElapsedTimer waited;
    waited.start();
    form->UpdateStatus();
    while (form->ImageVol->x() != KnobLeftForLevel(0.5f) && waited.elapsed() < 500) {
        QTest::qWait(10);
        form->UpdateStatus();
    }
    EXPECT_EQ(form->ImageVol->x(), KnobLeftForLevel(0.5f));
    EXPECT_EQ(form->ImageVolBar->width(), form->ImageVol->x() - 18);

    Drag(4, 4 - 500); // far past the low end
    EXPECT_EQ(form->ImageVol->x(), 20);
    EXPECT_EQ(SourceVolumePercent(), 0);
    Drag(4, 4 + 500);
    EXPECT_EQ(form->ImageVol->x(), 108);
    EXPECT_EQ(SourceVolumePercent(), 100);
    form->UpdateStatus();
    EXPECT_EQ(form->ImageVol->x(), 108);

    Drag(4, 4 - 44, Qt::RightButton);
    EXPECT_EQ(form->ImageVol->x(), 108) << "the right button does not drag";

    form->Core().session.PlaybackStarted(); // the knob follows, the level stays
    Drag(4, 4 - 44);
    EXPECT_EQ(form->ImageVol->x(), 64);
    EXPECT_EQ(SourceVolumePercent(), 100);
    form->Core().session.PlaybackStopped();
    form->UpdateStatus();
    EXPECT_EQ(form->ImageVol->x(), 108) << "the tick puts it back where the level is";
}

TEST_F(MainWindowTest, TheSourceLabelStartsTheVolumeControlExceptWhileRecording) {
    const std::string bin = folder + "/bin";
    const std::string marker = folder + "/started";
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/pavucontrol") << "#!/bin/sh\necho \"$@\" >> " << marker << "\n";
    std::filesystem::permissions(bin + "/pavucontrol", std::filesystem::perms::owner_all);
    const std::string path = getenv("PATH");
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    const auto started = [&] {
        for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
            Run(20);
        std::ifstream in(marker);
        std::string line;
        std::getline(in, line);
        std::filesystem::remove(marker);
        return line;
    };

    QTest::mouseClick(form->LabSource, Qt::LeftButton);
    EXPECT_EQ(started(), "--tab=4");
    form->Core().session.StartRecording();
    QTest::mouseClick(form->LabSource, Qt::LeftButton);
    EXPECT_EQ(started(), "") << "nothing while recording";
    form->Core().session.StopAll();
    setenv("PATH", path.c_str(), 1);
}

} // namespace
