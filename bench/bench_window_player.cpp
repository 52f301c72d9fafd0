// The player window on its own. As a benchmark (offscreen): one Timer1 tick while a file plays,
// spectrum read, display drawn and painted onto the window. With --play FILE: shows the player
// on the display and plays the file to its end, for tools/measure-player.sh to measure.
// Needs a sound server with a playback sink.

#include "app/PlayerControl.h"
#include "app/Session.h"
#include "engine/global.h"
#include "support/BenchMain.h"
#include "ui/player/Player.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

QPixmap Plain(int width, int height, QColor colour) {
    QPixmap picture(width, height);
    picture.fill(colour);
    return picture;
}

PlayerPictures Pictures() {
    PlayerPictures p;
    for (auto [normal, hover] :
         {std::pair{&p.ImagePPlay1, &p.ImagePPlay2}, std::pair{&p.ImagePPause1, &p.ImagePPause2},
          std::pair{&p.ImagePStop1, &p.ImagePStop2}}) {
        *normal = Plain(24, 20, QColor(200, 200, 200));
        *hover = Plain(24, 20, QColor(230, 230, 230));
    }
    p.ImageHandle1 = Plain(7, 14, QColor(120, 120, 120));
    p.ImageHandle2 = Plain(7, 14, QColor(160, 160, 160));
    p.ImageClose1 = Plain(11, 10, QColor(90, 90, 90));
    p.ImageClose2 = Plain(11, 10, QColor(200, 60, 60));
    return p;
}

// The session of a program that only plays: its pause and stop act on the player's stream.
struct PlayingOnly : SessionHost {
    PlayerControl* control = nullptr;
    int CaptureDeviceCount() override { return 0; }
    bool OutputFolderOnCdrom() override { return false; }
    void ShowMessage(const std::string&) override {}
    void ProcessPendingEvents() override {}
    std::uint32_t TickCount() override { return 0; }
    void PickNextRecordFile() override {}
    bool StartOutput() override { return false; }
    void StopOutput() override {}
    void ReportLostAudio() override {}
    void DeleteCurrentFile() override {}
    void RescanAndSort() override {}
    void ClearStatusText() override {}
    void StopCapture() override {}
    void StartCapture() override {}
    void PausePlayer() override { control->PauseStream(); }
    void ResumePlayer() override { control->ResumeStream(); }
    void StopPlayer() override { control->FreeStream(); }
};

// The records the main window would hand in.
struct Host {
    explicit Host(std::string file) : file(std::move(file)) {
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        sessionHost.control = &control;
        player = std::make_unique<TFormPlayer>(Pictures(), control, session.State(), settings,
                                               hoverActive, nullptr);
    }
    ~Host() { control.FreeStream(); }

    PlayingOnly sessionHost;
    Session session{sessionHost};
    std::string file;
    PlayerControl control{session, file};
    RecordingSettings settings;
    bool hoverActive = false;
    std::unique_ptr<TFormPlayer> player;
};

const char* benchFile = nullptr;

void BM_PlayerTickWhilePlaying(benchmark::State& state) {
    if (benchFile == nullptr) {
        state.SkipWithError("needs SONVERA_BENCH_FILE, a sound file to play");
        return;
    }
    Host host(benchFile);
    host.player->Timer1->stop();
    host.player->PlayCurrentFile();
    for (auto _ : state) {
        host.player->Timer1Timer();
        // The display's repaint.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PlayerTickWhilePlaying)->Unit(benchmark::kMicrosecond);

int Play(const char* file) {
    Host host(file);
    host.player->PlayCurrentFile();
    QTimer ended;
    QObject::connect(&ended, &QTimer::timeout, [&] {
        if (!host.session.State().IsPlaying)
            QCoreApplication::quit();
    });
    ended.start(200);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--play") == 0) {
        QApplication app(argc, argv);
        return Play(argv[2]);
    }
    benchFile = std::getenv("SONVERA_BENCH_FILE");
    return RunBenchmarksOffscreen<QApplication>(argc, argv);
}
