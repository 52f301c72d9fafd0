// The main window offscreen against the test sound server: the status texts, titles, labels,
// heights, the format action and closing with and without the question.

#include "MainWindowFixture.h"
#include "engine/OutputFormats.h"

#include <QLabel>

namespace {

TEST_F(MainWindowTest, IdleTheStatusReadsMonitoringAndTheSourceIsTheDefaultDevice) {
    form->UpdateStatus();
    EXPECT_EQ(form->LabStatus->text(), "Monitoring");
    EXPECT_EQ(form->LabStatus0->text(), "Monitoring");
    EXPECT_EQ(form->LabTime->text(), "00:00:00");
    EXPECT_EQ(form->LabTime0->text(), "00:00:00");
    EXPECT_EQ(form->LabSource->text(), "Test_signal_44100");
    EXPECT_EQ(form->LabSource->toolTip(), "Audio source: Test_signal_44100");
    EXPECT_EQ(form->LabFile->text().toStdString(), output) << "no current file";
    EXPECT_EQ(form->windowTitle(), "Sonvera");
    EXPECT_EQ(form->LabFormat->text(), "WAV 44100Hz 16bit stereo");
}

TEST_F(MainWindowTest, RecordingShowsTimeStatusCaptionAndTheTaskbarTitleWhileMinimised) {
    form->Core().session.StartRecording();
    ASSERT_TRUE(form->Core().State().IsRecording);
    tick += 1200;
    form->TimerRecTimer();
    form->UpdateStatus();
    EXPECT_EQ(form->LabStatus->text(), "Recording");
    const std::string name = std::filesystem::path(form->Core().Library.CurrentFile).filename();
    EXPECT_EQ(form->windowTitle().toStdString(), "Sonvera - " + name);
    EXPECT_EQ(form->LabTime->text(), "00:00:01");
    EXPECT_EQ(form->LabTime0->text(), form->LabTime->text());

    form->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->Status().Minimized);
    tick += 63800; // 65 s into the recording
    form->TimerRecTimer();
    form->UpdateStatus();
    EXPECT_EQ(form->Status().ApplicationTitle, "00:01:05 Stop-F9");
    EXPECT_EQ(form->windowTitle(), "00:01:05 Stop-F9");

    form->Core().session.PauseResume();
    form->UpdateStatus();
    EXPECT_EQ(form->Status().ApplicationTitle, "Pause");
    EXPECT_EQ(form->LabStatus->text(), "Pause");

    form->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->Status().Minimized);
    EXPECT_EQ(form->Status().ApplicationTitle, "Sonvera");
    form->Core().session.StopAll();
    EXPECT_FALSE(form->Core().State().IsRecording);
}

TEST_F(MainWindowTest, BlinkingStopsWhilePaused) {
    form->Core().session.StartRecording();
    form->UpdateStatus();
    const bool phase = form->Status().BlinkPhase;
    form->UpdateStatus();
    EXPECT_NE(form->Status().BlinkPhase, phase);
    form->Core().session.PauseResume();
    form->UpdateStatus();
    form->UpdateStatus();
    EXPECT_NE(form->Status().BlinkPhase, phase) << "kept while paused";
    form->Core().session.StopAll();
}

TEST_F(MainWindowTest, AWriterMessageFromTheCaptureTickLeavesTheCaptureRunningWhileItIsOpen) {
    form->Core().session.StartRecording();
    // The next block outgrows the file, and no next one can be made in a vanished folder.
    form->Core().Writers.MaxDataBytes = 1;
    std::filesystem::remove_all(output);
    // Looks in while the box's own loop runs: the capture ticks must go on meanwhile.
    std::uint32_t atOpen = 0;
    std::uint32_t later = 0;
    bool closed = false;
    QTimer watcher;
    QElapsedTimer open;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (atOpen == 0) {
            atOpen = form->Core().Ring().SequenceCounter();
            open.start();
        } else if (open.elapsed() >= 1500) {
            later = form->Core().Ring().SequenceCounter();
            box->close();
            closed = true;
        }
    });
    watcher.start(50);
    QElapsedTimer waited;
    waited.start();
    while (!closed && waited.elapsed() < 8000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(closed) << "the writer's message box";
    EXPECT_GE(later, atOpen + 10) << "blocks taken while the box was open";
    form->Core().session.StopAll();
}

TEST_F(MainWindowTest, ClientHeightFollowsTheFileList) {
    ASSERT_TRUE(form->Core().Settings.FileList);
    EXPECT_EQ(form->centralWidget()->height(), 528);
    form->ToggleFileList();
    EXPECT_EQ(form->centralWidget()->height(), 248);
    EXPECT_FALSE(form->Core().Settings.FileList);
    form->ToggleFileList();
    EXPECT_EQ(form->centralWidget()->height(), 528);
    EXPECT_EQ(form->centralWidget()->width(), 548);
}

TEST_F(MainWindowTest, ChangeFormatWaitsWhileRecordingAndReopensTheCaptureOtherwise) {
    form->Core().session.StartRecording();
    form->Core().Settings.Wav = false;
    form->Core().Settings.OGG = true;
    form->ChangeFormat();
    EXPECT_EQ(form->LabFormat->text(), "WAV 44100Hz 16bit stereo");
    form->Core().session.StopAll();
    form->ChangeFormat();
    EXPECT_EQ(form->LabFormat->text(), "OGG 128 kbps stereo");
    EXPECT_TRUE(form->Core().Ring().IsOpen());
}

TEST_F(MainWindowTest, AFormatLabelTooLongForItsRoomIsShownWholeInASmallerFont) {
    const QFont windowFont = form->LabFormat->font();
    const int room = form->LabStatus->x() - form->LabFormat->x();
    SelectFormat(form->Core().Settings, FormatId::Flac);
    form->ChangeFormat();
    EXPECT_EQ(form->LabFormat->text(), "FLAC 44100Hz 16bit stereo level 5");
    EXPECT_LE(form->LabFormat->width(), room);
    EXPECT_LT(form->LabFormat->font().pointSizeF(), windowFont.pointSizeF());

    SelectFormat(form->Core().Settings, FormatId::Opus);
    form->ChangeFormat();
    EXPECT_EQ(form->LabFormat->text(), "Opus 64kbps stereo");
    EXPECT_EQ(form->LabFormat->font(), windowFont) << "a label that fits keeps the font";
}

TEST_F(MainWindowTest, ClosingWhileRecordingAsksAndNoKeepsRecording) {
    form->Core().session.StartRecording();
    Run(500);
    Answer(QMessageBox::No);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->Core().State().IsRecording);

    Answer(QMessageBox::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->Core().State().IsRecording);
    EXPECT_FALSE(form->Core().Ring().IsOpen());
    std::ifstream settings(folder + "/Sonvera.ini");
    const std::string text((std::istreambuf_iterator<char>(settings)), {});
    EXPECT_NE(text.find("Clipping Detection=1"), std::string::npos) << "settings written";
}

TEST_F(MainWindowTest, ClosingWithoutAskingFinishesTheRecording) {
    form->Core().session.StartRecording();
    Run(500);
    form->CloseWithoutAsking();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Core().State().IsRecording);
    EXPECT_TRUE(std::filesystem::file_size(form->Core().Library.CurrentFile) > 44);
}

TEST_F(MainWindowTest, ATerminationWhileTheQuestionIsOpenStillClosesAndFinishes) {
    form->Core().session.StartRecording();
    Run(300);
    QTimer::singleShot(200, [this] { form->CloseWithoutAsking(); });
    form->close(); // the question opens; nobody answers it
    Run(300);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Core().State().IsRecording);
    EXPECT_GT(std::filesystem::file_size(form->Core().Library.CurrentFile), 44u);
}

TEST_F(MainWindowTest, OlderFamilyNamesTheInputAndTheDevice) {
    form->Core().Flags.VistaMode = false;
    form->UpdateStatus();
    EXPECT_EQ(form->Core().Watch.SourceText, "Test_signal_44100 (Test_signal_44100)");
    EXPECT_TRUE(form->Core().Ring().IsOpen());
}

} // namespace

#include <QTest>

namespace {

// Offscreen there is no X11 connection to grab keys from: the window's own keys stand in.
TEST_F(MainWindowTest, WithoutGlobalKeysTheWindowsOwnF5F7F9Work) {
    form->activateWindow();
    QCoreApplication::processEvents();
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(form.get(), key);
        QCoreApplication::processEvents();
    };
    press(Qt::Key_F5);
    EXPECT_TRUE(form->Core().State().IsRecording);
    press(Qt::Key_F7);
    EXPECT_TRUE(form->Core().State().IsPaused);
    press(Qt::Key_F9);
    EXPECT_FALSE(form->Core().State().IsRecording);
    EXPECT_FALSE(form->Core().State().IsPaused);
}

} // namespace
