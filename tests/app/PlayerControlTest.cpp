// The playback through the program's core: the player's commands, the main window's record,
// pause and stop, the file list's stop and the program's end, each sequence ending in the
// session's flags and the state of the player's stream. The core's session reaches the stream
// only through the player, so a pause, resume or stop that goes astray shows here.

#include "RecorderFixture.h"
#include "SineWav.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace recorder_test;

namespace {

// The commands, as the windows and the keys give them.
using Step = void (*)(Recorder&);
// PlayCurrentFile, opening the file as the window does.
const Step Play = [](Recorder& c) {
    if (c.Player.PlayCurrentFile() == PlayerControl::PlayRequest::Open)
        c.Player.OpenAndPlay();
};
const Step F5 = [](Recorder& c) { c.session.StartRecording(); };
const Step F7 = [](Recorder& c) { c.session.PauseResume(); };
const Step F9 = [](Recorder& c) { c.Stop(); };
const Step PlayerPlay = [](Recorder& c) { c.Player.Play(); };
const Step PlayerPause = [](Recorder& c) { c.Player.Pause(); };
const Step PlayerStop = [](Recorder& c) { c.Player.Stop(); };
const Step Tick = [](Recorder& c) { c.Player.Poll(); };
const Step Close = [](Recorder& c) { c.Player.Close(); };
const Step MenuStop = [](Recorder& c) { c.Player.MenuStop(); };
// Another file is renamed, moved or deleted.
const Step FileListStop = [](Recorder& c) { c.Player.StopAndFree(); };

enum class Stream { None, Playing, Paused, Stopped };

struct Case {
    const char* name;
    std::vector<Step> steps;
    bool recording, paused, playing;
    Stream stream;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class PlaybackTransitions : public RecorderTest, public ::testing::WithParamInterface<Case> {
protected:
    Stream StreamState() {
        const HSTREAM stream = core->Player.Stream();
        if (stream == 0)
            return Stream::None;
        switch (BASS_ChannelIsActive(stream)) {
        case BASS_ACTIVE_PLAYING:
            return Stream::Playing;
        case BASS_ACTIVE_PAUSED:
            return Stream::Paused;
        default:
            return Stream::Stopped;
        }
    }
};

TEST_P(PlaybackTransitions, EndInTheSessionsFlagsAndTheStreamsState) {
    Make();
    const std::string file = output + "/played.wav";
    sine_wav::Write(file, 44100, 2, 44100 * 3, 440);
    core->Library.CurrentFile = file;
    for (Step step : GetParam().steps)
        step(*core);
    const SessionState& state = core->State();
    EXPECT_EQ(state.IsRecording, GetParam().recording);
    EXPECT_EQ(state.IsPaused, GetParam().paused);
    EXPECT_EQ(state.IsPlaying, GetParam().playing);
    EXPECT_EQ(StreamState(), GetParam().stream);
    core->Finish();
    EXPECT_FALSE(core->State().IsPlaying);
    if (GetParam().playing) {
        EXPECT_EQ(StreamState(), Stream::None) << "the program's end frees a playing stream";
    }
}

constexpr bool R = true, P = true, L = true, _ = false;

INSTANTIATE_TEST_SUITE_P(
    Sequences, PlaybackTransitions,
    ::testing::Values(
        // Columns: recording, paused, playing.
        Case{"Play", {Play}, _, _, L, Stream::Playing},
        Case{"MainPause", {Play, F7}, _, P, L, Stream::Paused},
        Case{"MainResume", {Play, F7, F7}, _, _, L, Stream::Playing},
        Case{"PlayCurrentFileResumes", {Play, F7, Play}, _, _, L, Stream::Playing},
        Case{"PlayerPause", {Play, PlayerPause}, _, P, L, Stream::Paused},
        Case{"PlayerResume", {Play, PlayerPause, PlayerPause}, _, _, L, Stream::Playing},
        Case{"PlayerPlayRestartsAPause", {Play, F7, PlayerPlay}, _, _, L, Stream::Playing},
        Case{"MainStopFrees", {Play, F7, F9}, _, _, _, Stream::None},
        Case{"RecordRefusedWhilePlaying", {Play, F5}, _, _, L, Stream::Playing},
        Case{"PlayerStopEndsAtTheTick", {Play, F7, PlayerStop}, _, _, L, Stream::Stopped},
        Case{"TheTickEndsIt", {Play, F7, PlayerStop, Tick}, _, _, _, Stream::Stopped},
        Case{"CloseFrees", {Play, F7, Close}, _, _, _, Stream::None},
        Case{"MenuStopFrees", {Play, F7, MenuStop}, _, _, _, Stream::None},
        Case{"FileListStopFrees", {Play, FileListStop}, _, _, _, Stream::None},
        // A recording started after that must not begin paused and write nothing.
        Case{"FileListStopEndsAPause", {Play, F7, FileListStop, F5}, R, _, _, Stream::None},
        Case{"PlayRefusedWhileRecording", {F5, Play, PlayerPlay}, R, _, _, Stream::None},
        Case{"PlayerLeavesARecordingsPause",
             {F5, F7, PlayerPlay, PlayerPause, PlayerStop, MenuStop, Close, Tick},
             R,
             P,
             _,
             Stream::None},
        Case{"RecordAfterPlaying", {Play, F9, F5}, R, _, _, Stream::None}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
