// The program's core against a scripted capture device and a scripted window: messages raised
// while polling, a pause that survives a reopen, a device that returns after a failed open, and
// the refused starts that must say why.

#include "RecorderFixture.h"
#include "SineWav.h"
#include "app/StatusMonitor.h"
#include "audio/Bass.h"
#include "platform/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>
#include <vector>

using namespace recorder_test;

namespace {

// The values of the blocks in a WAV recording whose every block holds one sample value.
std::vector<int> BlockValues(const std::string& path, std::size_t blockBytes) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    std::vector<int> values;
    for (std::size_t at = 44; at + blockBytes <= bytes.size(); at += blockBytes) {
        std::int16_t value = 0;
        std::memcpy(&value, &bytes[at], 2);
        values.push_back(value);
    }
    return values;
}

TEST_F(RecorderTest, StartedBySoundTheKeptBlocksComeFirstAlsoBeforeATickInTheStartsEvents) {
    Make(0xFFFFF, "Wav=1\nMP3=0\n[Voice Activation]\nMode=2\nPreRoll=300\nHangTime=200\n");
    const auto deliver = [&](std::int16_t value) { DeliverBlock(value); };
    for (std::int16_t quiet = 1; quiet <= 5; ++quiet) // below -30 dBFS (1036)
        deliver(quiet);
    core->PollTick();
    EXPECT_EQ(core->UnattendedStatus(), "Armed");
    ASSERT_FALSE(core->State().IsRecording);

    // The timer ticks in the events the start lets run once it records.
    std::int16_t next = 2001;
    window.duringEvents = [&] {
        if (!core->State().IsRecording || next > 2001)
            return;
        deliver(next++);
        core->PollTick();
    };
    deliver(2000);
    core->PollTick();
    window.duringEvents = nullptr;
    ASSERT_TRUE(core->State().IsRecording);
    deliver(6);
    core->PollTick();
    EXPECT_EQ(core->UnattendedStatus(), "Pausing in 1 s");
    deliver(7);
    deliver(8);
    core->PollTick();
    EXPECT_FALSE(core->State().IsRecording) << "finished after the hang time";
    EXPECT_EQ(core->UnattendedStatus(), "Armed") << "and waiting for the next sound";
    FinishAllWriters(core->Writers);

    EXPECT_EQ(BlockValues(output + "/record001.wav", core->Settings.BlockBytes),
              (std::vector<int>{3, 4, 5, 2000, 2001, 6, 7}));
}

TEST_F(RecorderTest, PausedOnSilenceTheFileTakesTheNextSoundWithItsPreRoll) {
    Make(0xFFFFF, "Wav=1\nMP3=0\n[Voice Activation]\nMode=1\nPreRoll=200\nHangTime=200\n");
    // Sound, the hang time, silence that waits, sound again, the hang time, silence.
    for (const std::int16_t value : {2000, 1, 2, 3, 4, 5, 6, 2001, 7, 8, 9, 10}) {
        DeliverBlock(value);
        core->PollTick();
    }
    EXPECT_TRUE(core->State().IsRecording);
    EXPECT_EQ(core->UnattendedStatus(), "Armed") << "paused on silence";
    core->Stop();
    EXPECT_EQ(core->UnattendedStatus(), "") << "F9 disarms";
    FinishAllWriters(core->Writers);
    const auto files = std::filesystem::directory_iterator(output);
    EXPECT_EQ(std::distance(begin(files), end(files)), 1) << "one file";
    EXPECT_EQ(BlockValues(output + "/record001.wav", core->Settings.BlockBytes),
              (std::vector<int>{2000, 1, 2, 5, 6, 2001, 7, 8}));
}

TEST_F(RecorderTest, ASplitGoesOnInTheNextFileWithTheNextBlockAndListsTheFinishedPart) {
    Make(0xFFFFF, "Wav=1\nMP3=0\n[Split]\nMegabytes=1\n");
    core->session.StartRecording();
    ASSERT_TRUE(core->State().IsRecording);
    // 1 MB holds the header and 56 blocks of 17640 bytes.
    std::int16_t value = 1;
    for (int poll = 0; poll < 3; ++poll) {
        for (int block = 0; block < 30; ++block)
            DeliverBlock(value++);
        core->PollTick();
    }
    const std::string first = output + "/record001.wav";
    const auto listed = [&] {
        return std::any_of(core->Library.Entries.begin(), core->Library.Entries.end(),
                           [&](const ListEntry& entry) { return entry.path == first; });
    };
    for (int tick = 0; tick < 50 && !listed(); ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        core->WatchTick();
        core->PollTick();
    }
    EXPECT_TRUE(listed()) << "the finished part is listed while the recording goes on";
    EXPECT_EQ(core->Library.CurrentFile, output + "/record002.wav");
    core->session.StopAll();
    FinishAllWriters(core->Writers);

    std::vector<int> values = BlockValues(first, core->Settings.BlockBytes);
    EXPECT_EQ(values.size(), 56u);
    const std::vector<int> second =
        BlockValues(output + "/record002.wav", core->Settings.BlockBytes);
    values.insert(values.end(), second.begin(), second.end());
    std::vector<int> expected(90);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(values, expected) << "no block lost or repeated at the joint";
}

// A file whose audio writes the disk refuses.
struct FullFile : platform::OutputFile {
    std::unique_ptr<platform::OutputFile> real;
    explicit FullFile(std::unique_ptr<platform::OutputFile> file) : real(std::move(file)) {}
    int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        return offset >= 44 ? ENOSPC : real->WriteAt(offset, bytes);
    }
    int Sync() override { return real->Sync(); }
    int Truncate(std::uint64_t length) override { return real->Truncate(length); }
    int Close() override { return real->Close(); }
};

TEST_F(RecorderTest, AudioAPartLostIsStillToldAfterTheSplit) {
    Make(0xFFFFF, "Wav=1\nMP3=0\n[Split]\nMegabytes=1\n");
    core->Writers.CreateFile = [](const std::string& path) {
        platform::CreatedFile created = platform::CreateOutputFile(path);
        if (created.File && path.ends_with("record001.wav"))
            created.File = std::make_unique<FullFile>(std::move(created.File));
        return created;
    };
    core->session.StartRecording();
    for (int block = 0; block < 30; ++block)
        DeliverBlock(1);
    core->PollTick();
    // The writer's thread finds the disk full.
    for (int tick = 0; tick < 100 && core->LostAudioMs() == 0; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        DeliverBlock(1);
        core->PollTick();
    }
    for (int block = 0; block < 30; ++block)
        DeliverBlock(1);
    core->PollTick();
    ASSERT_EQ(core->Library.CurrentFile, output + "/record002.wav");
    EXPECT_GE(core->LostAudioMs(), 5000u) << "most of the first part";
}

TEST_F(RecorderTest, AMessageRaisedWhilePollingWaitsForThePollAndTheRingKeepsAllItsBuffers) {
    Make();
    core->session.StartRecording();
    ASSERT_TRUE(core->State().IsRecording);
    // The third block outgrows the file; the next one cannot be made in a vanished folder.
    core->Writers.MaxDataBytes = core->Settings.BlockBytes * 5 / 2;
    std::filesystem::remove_all(output);
    int blocksTakenInside = -1;
    window.whileShown = [&] {
        // The box's own event loop: ticks, a pause and resume, and the source reopened.
        Deliver(2);
        const std::uint32_t before = core->Ring().SequenceCounter();
        core->PollTick();
        blocksTakenInside = static_cast<int>(core->Ring().SequenceCounter() - before);
        core->session.PauseResume();
        core->session.PauseResume();
        device->Lost = true;
        core->WatchTick();
    };
    Deliver(3);
    core->PollTick();
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(blocksTakenInside, 2) << "the poll had returned before the box opened";
    EXPECT_EQ(device->Opens(), 2);
    EXPECT_EQ(device->Queued(), CaptureBufferCount);
    Deliver(5);
    EXPECT_EQ(device->Queued(), CaptureBufferCount - 5);
    core->PollTick();
    EXPECT_EQ(device->Queued(), CaptureBufferCount);
    core->session.StopAll();
}

TEST_F(RecorderTest, APausedRecordingStaysPausedWhenTheCaptureIsReopened) {
    Make();
    core->session.StartRecording();
    Deliver(2);
    core->PollTick();
    const auto recorded = RecordedBytes();
    core->session.PauseResume();
    device->Lost = true; // the source vanished and came back
    core->WatchTick();
    ASSERT_EQ(device->Opens(), 2);
    EXPECT_FALSE(device->IsRunning());
    Deliver(3);
    core->PollTick();
    EXPECT_EQ(RecordedBytes(), recorded) << "nothing of the paused time is written";

    core->session.PauseResume();
    EXPECT_TRUE(device->IsRunning());
    Deliver(1);
    core->PollTick();
    EXPECT_EQ(RecordedBytes(), recorded + core->Settings.BlockBytes);
    core->session.StopAll();
}

TEST_F(RecorderTest, ADeviceThatFailedToOpenIsOpenedWhenItGoesAndComesBack) {
    Make(0xFFFFF, "Wav=1\nMP3=0\n", [](ScriptedWaveIn& scripted) {
        scripted.OpenResult = 4;
        scripted.ErrorText = "The device is busy";
    });
    core->WatchTick();
    ASSERT_FALSE(core->Ring().IsOpen());
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].text, "The device is busy");

    const auto devices = device->Devices;
    device->Devices.clear();
    core->WatchTick();
    EXPECT_TRUE(core->Watch.SourceText.empty());
    device->Devices = devices;
    device->OpenResult = WaveOk;
    core->WatchTick();
    EXPECT_TRUE(core->Ring().IsOpen());
    EXPECT_EQ(core->Watch.SourceText, "Line In");
}

// The record inputs belong to the source the capture device records, found by its name on the
// test server, whatever order the backend lists its devices in (the server's default source is
// sonvera_signal_44100).
TEST_F(RecorderTest, TheInputsAreThoseOfTheSourceTheCaptureDeviceRecords) {
    struct Case {
        std::vector<std::string> sources;
        const char* inputName;
    };
    for (const Case& c : {Case{{"sonvera_silence", "sonvera_signal_44100"}, "Silence"},
                          Case{{"sonvera_signal_96000"}, "Test_signal_96000"},
                          Case{{"sonvera_signal_44100", "sonvera_silence"}, "Test_signal_44100"},
                          Case{{"no_such_source"}, ""}}) {
        Make(0xFFFFF, "Wav=1\nMP3=0\n", [&](ScriptedWaveIn& scripted) {
            scripted.Devices.assign(c.sources.size(), ScriptedWaveIn::Caps("Card", 0xFFFFF));
            scripted.SourceNames = c.sources;
        });
        const char* name = BASS_RecordGetInputName(core->Inputs.InputIndex);
        EXPECT_STREQ(name ? name : "", c.inputName) << c.sources.front();
        core.reset();
    }
}

TEST_F(RecorderTest, AudioTheRingHadNoRoomForIsToldWhileRecordingAndAtTheStop) {
    Make();
    Deliver(CaptureBufferCount + 2); // lost while monitoring: not the recording's
    core->PollTick();
    core->session.StartRecording();
    EXPECT_EQ(core->LostAudioMs(), 0u);
    Deliver(CaptureBufferCount + 2); // two blocks more than the ring holds
    core->PollTick();
    EXPECT_EQ(core->LostAudioMs(), 200u);
    StatusMonitor monitor;
    const StatusView view = UpdateStatusMonitor(
        monitor, {core->State(), 0.0, core->Library.CurrentFile, core->Settings.OutputFolder,
                  core->Watch.SourceText, core->LostAudioMs()});
    EXPECT_EQ(monitor.StatusText, "Lost 0.2 s");
    EXPECT_EQ(view.StatusHint, "Recording - 0.2 s lost");
    ASSERT_TRUE(window.shown.empty());
    core->session.StopAll();
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].text,
              "The recording misses 0.2 s of audio that could not be taken in time.");
}

struct RefusedStart {
    const char* what;
    std::uint32_t formats;
    bool noFormat; // no record name can be made without a format
    const char* message;
};

class RefusedStartTest : public RecorderTest, public ::testing::WithParamInterface<RefusedStart> {};

TEST_P(RefusedStartTest, SaysWhyAndStartsNothing) {
    Make(GetParam().formats);
    if (GetParam().noFormat)
        core->Settings.Wav = core->Settings.MP3 = core->Settings.WMA = core->Settings.OGG = false;
    core->session.StartRecording();
    EXPECT_FALSE(core->State().IsRecording);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].text, GetParam().message);
    EXPECT_TRUE(std::filesystem::is_empty(output));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedStartTest,
    ::testing::Values(
        RefusedStart{"NoRecordName", 0xFFFFF, true,
                     "No recording can start: every record name of the output folder is taken."},
        RefusedStart{"CaptureClosed", 0x400, false,
                     "No recording can start: the audio source is not open."}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace

namespace {

// The durations a scan did not know arrive with the status ticks; under a "Duration" order the
// rows follow them and the selected file stays selected. The next start has them at once from
// the disk, where a damaged file was replaced.
TEST_F(RecorderTest, DurationsArriveAfterTheListAndAreThereAtOnceOnTheNextStart) {
    const std::string cache = folder + "/cache";
    const std::string cacheBefore =
        std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::filesystem::create_directories(cache + "/Sonvera");
    std::ofstream(cache + "/Sonvera/durations") << "\x01 damaged\n"; // ignored, then rewritten
    std::filesystem::create_directories(output);
    for (const auto& [name, seconds] : {std::pair{"a.wav", 3}, {"b.wav", 1}, {"c.wav", 2}})
        sine_wav::Write(output + "/" + name, 8000, 1, seconds * 8000, 440);
    const std::string settings = "Wav=1\nMP3=0\n[Settings]\nSort=4\n";
    auto rows = [&] {
        std::vector<std::string> texts;
        for (int row = 1; row < core->Library.Grid.RowCount; ++row)
            texts.push_back(core->Library.Grid.Cells[row][0].substr(8) +
                            core->Library.Grid.Cells[row][1]);
        return texts;
    };
    using Rows = std::vector<std::string>;
    // The listing comes in with a capture tick, under the busy cursor until then.
    auto listNow = [&] {
        core->RescanAndSort();
        EXPECT_TRUE(window.busy);
        for (int tick = 0; tick < 500 && core->Library.Grid.RowCount < 4; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            core->PollTick();
        }
        EXPECT_FALSE(window.busy);
    };

    Make(0xFFFFF, settings);
    core->Library.CurrentFile = output + "/b.wav"; // the user's choice
    listNow();
    ASSERT_EQ(core->Library.Grid.RowCount, 4) << "every file is listed before any is probed";
    const auto start = std::chrono::steady_clock::now();
    while (rows() != Rows{"a.wav      00:00:03", "c.wav      00:00:02", "b.wav      00:00:01"} &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        core->WatchTick();
    }
    EXPECT_EQ(rows(), (Rows{"a.wav      00:00:03", "c.wav      00:00:02", "b.wav      00:00:01"}));
    EXPECT_EQ(core->Library.Grid.SelectedRow, 3);
    core.reset(); // the durations are on disk once the program has ended

    Make(0xFFFFF, settings);
    listNow();
    EXPECT_EQ(rows(), (Rows{"a.wav      00:00:03", "c.wav      00:00:02", "b.wav      00:00:01"}));
    setenv("XDG_CACHE_HOME", cacheBefore.c_str(), 1);
}

} // namespace
