// A played file whose reads hang after its first second, as on a stalled network mount: every
// call the window makes on the stream answers at once, and once the file answers again the
// playback goes on to its end. The stand-in for the mount (tests/support/StalledFiles.cpp) is
// loaded into this test program started again.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t Rate = 44100;

// Runs `call`; a call that has not answered after a long while waits on the file, which is the
// fault: the run ends at once, as the call would hold its end too.
template <class Call> auto Answering(const char* what, Call call) {
    auto answer = std::async(std::launch::async, call);
    if (answer.wait_for(5s) != std::future_status::ready) {
        std::cerr << what << " waited on the stalled file\n";
        _exit(1);
    }
    return answer.get();
}

TEST(StalledPlayback, TheStreamAnswersWhileItsReadsHangAndPlaysOnOnceTheyReturn) {
    const char* file = std::getenv("SONVERA_STALLED_PLAYBACK_FILE");
    if (file == nullptr) {
        const std::string dir = test_paths::FreshDir("stalled-playback");
        const std::string path = dir + "/stalled-playback.wav";
        audio_files::WriteWav(path, Rate, 2, 16, std::vector<std::int16_t>(4 * Rate * 2, 1000));
        QProcess again;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SONVERA_STALLED_PLAYBACK_FILE", QString::fromStdString(path));
        environment.insert("LD_PRELOAD", SONVERA_STALLED_FILES);
        environment.insert("SONVERA_STALL_READ", "stalled-playback.wav");
        environment.insert("SONVERA_STALL_READ_AFTER", QString::number(44 + Rate * 4));
        environment.insert("SONVERA_STALL_RELEASE", QString::fromStdString(dir + "/released"));
        again.setProcessEnvironment(environment);
        again.setProcessChannelMode(QProcess::ForwardedChannels);
        again.start("/proc/self/exe", {"--gtest_filter=StalledPlayback.*"});
        ASSERT_TRUE(again.waitForFinished(60'000));
        EXPECT_EQ(again.exitCode(), 0);
        return;
    }

    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const HSTREAM h = BASS_StreamCreateFile(false, file, 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    std::this_thread::sleep_for(2s); // the first second is read, the reads hang now

    const QWORD heard =
        Answering("the position", [&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE); });
    EXPECT_LT(heard, QWORD{Rate * 4 * 2}) << "more was heard than was read before the hang";
    float bins[1024];
    Answering("the spectrum", [&] {
        return BASS_ChannelGetData(h, bins, BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL);
    });
    EXPECT_FALSE(Answering("a seek", [&] { return BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE); }))
        << "the seek cannot be made while the file hangs";
    EXPECT_TRUE(Answering("a pause", [&] { return BASS_ChannelPause(h); }));
    EXPECT_TRUE(Answering("a stop", [&] { return BASS_ChannelStop(h); }));
    EXPECT_TRUE(Answering("a play", [&] { return BASS_ChannelPlay(h, false); }));

    std::ofstream(std::string(std::getenv("SONVERA_STALL_RELEASE")));
    for (int i = 0; i < 500 && BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED; ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), BASS_ChannelGetLength(h, BASS_POS_BYTE))
        << "the playback went on to the end from where it was heard";
    BASS_StreamFree(h);
}

} // namespace
