#pragma once
// The player window offscreen with the session and the playback it shares with the main window,
// plain skin pictures, WAV files of the known signal, and mouse gestures sent to its controls.

#include "KnownSignal.h"
#include "TestPaths.h"
#include "app/PlayerControl.h"
#include "app/Session.h"
#include "engine/global.h"
#include "ui/common/PictureButton.h"
#include "ui/player/Player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace player_test {

// The session as the program's core runs it, its pause and stop acting on the player's stream;
// a recording writes nothing.
class PlayerHost : public SessionHost {
public:
    PlayerControl* player = nullptr;
    int CaptureDeviceCount() override { return 1; }
    bool OutputFolderOnCdrom() override { return false; }
    void ShowMessage(const std::string&) override {}
    void ProcessPendingEvents() override {}
    std::uint32_t TickCount() override { return 0; }
    void PickNextRecordFile() override {}
    bool StartOutput() override { return true; }
    void ReportLostAudio() override {}
    void StopOutput() override {}
    void DeleteCurrentFile() override {}
    void RescanAndSort() override {}
    void ClearStatusText() override {}
    void StopCapture() override {}
    void StartCapture() override {}
    void PausePlayer() override { player->PauseStream(); }
    void ResumePlayer() override { player->ResumeStream(); }
    void StopPlayer() override { player->FreeStream(); }
};

inline QPixmap Plain(int width, int height, QColor colour) {
    QPixmap picture(width, height);
    picture.fill(colour);
    return picture;
}

inline PlayerPictures PlainPictures() {
    PlayerPictures p;
    p.ImagePPlay1 = Plain(24, 20, Qt::green);
    p.ImagePPlay2 = Plain(24, 20, Qt::darkGreen);
    p.ImagePPause1 = Plain(24, 20, Qt::blue);
    p.ImagePPause2 = Plain(24, 20, Qt::darkBlue);
    p.ImagePStop1 = Plain(24, 20, Qt::red);
    p.ImagePStop2 = Plain(24, 20, Qt::darkRed);
    p.ImageHandle1 = Plain(7, 14, Qt::gray);
    p.ImageHandle2 = Plain(7, 14, Qt::white);
    p.ImageClose1 = Plain(11, 10, Qt::black);
    p.ImageClose2 = Plain(11, 10, Qt::yellow);
    return p;
}

template <class Out> void Put(Out& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(char((value >> (8 * i)) & 0xFF));
}

// A 44100 Hz stereo 16-bit WAV of the known signal, `frames` long.
inline std::string WriteKnownWav(const std::string& path, std::uint32_t frames) {
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t bytes = frames * 4;
    out.write("RIFF", 4);
    Put(out, 36 + bytes, 4);
    out.write("WAVEfmt ", 8);
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, 2, 2);
    Put(out, 44100, 4);
    Put(out, 44100 * 4, 4);
    Put(out, 4, 2);
    Put(out, 16, 2);
    out.write("data", 4);
    Put(out, bytes, 4);
    for (std::uint32_t f = 0; f < frames; ++f) {
        Put(out, std::uint16_t(known_signal::Left(f)), 2);
        Put(out, std::uint16_t(known_signal::Right(f)), 2);
    }
    return path;
}

class PlayerFixture : public testing::Test {
protected:
    void SetUp() override {
        host.player = &control;
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        BASS_SetVolume(1.0f);
        dir = test_paths::FreshDir(std::string("player_") +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
        file = WriteKnownWav(dir + "/record001.wav", 44100 * 3 / 2);
        player = std::make_unique<TFormPlayer>(PlainPictures(), control, session.State(), settings,
                                               hoverActive, nullptr);
        // The test ticks the player itself, so every state change is seen in order.
        player->Timer1->stop();
    }
    void TearDown() override {
        control.FreeStream();
        player.reset();
    }

    const SessionState& state() const { return session.State(); }
    HSTREAM stream() const { return control.Stream(); }

    // Runs events and ticks the player every 33 ms until `done`, at most ten seconds.
    template <class F> bool TickUntil(F done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 33);
            QElapsedTimer tick;
            tick.start();
            while (tick.elapsed() < 33)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            player->Timer1Timer();
        }
        return done();
    }

    // A mouse event at a point of the widget's own coordinates.
    static void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                     Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
    static void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint at(3, 3);
        Send(widget, QEvent::MouseButtonPress, at, button, button);
        Send(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
    // Presses a knob with the left button and moves the mouse `dx` pixels in steps, as a hand
    // would; the knob moves under the mouse, so each event is in its new coordinates.
    static void DragBy(QWidget* knob, int dx, bool release = true) {
        const int grab = 3;
        const int startGlobal = knob->x() + grab;
        Send(knob, QEvent::MouseButtonPress, {grab, 6}, Qt::LeftButton, Qt::LeftButton);
        const int steps = 10;
        for (int i = 1; i <= steps; ++i) {
            const int global = startGlobal + dx * i / steps;
            Send(knob, QEvent::MouseMove, {global - knob->x(), 6}, Qt::NoButton, Qt::LeftButton);
        }
        if (release)
            Send(knob, QEvent::MouseButtonRelease, {startGlobal + dx - knob->x(), 6},
                 Qt::LeftButton, Qt::NoButton);
    }

    PlayerHost host;
    Session session{host};
    std::string file;
    PlayerControl control{session, file};
    RecordingSettings settings;
    bool hoverActive = false;
    std::string dir;
    std::unique_ptr<TFormPlayer> player;
};

} // namespace player_test
