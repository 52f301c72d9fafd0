// The recording session against a scripted host: which commands act in which state, the order
// of the world's calls, and the elapsed time across pauses and the tick's wrap.

#include "app/Session.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ScriptedHost : SessionHost {
    std::vector<std::string> calls;
    int devices = 1;
    bool cdrom = false;
    bool writersStart = true;
    std::uint32_t tick = 1000;
    std::function<void()> duringEvents; // a command arriving while events are let run

    int CaptureDeviceCount() override { return devices; }
    bool OutputFolderOnCdrom() override { return cdrom; }
    void ShowMessage(const std::string& text) override { calls.push_back("message " + text); }
    void ProcessPendingEvents() override {
        if (auto command = std::exchange(duringEvents, nullptr))
            command();
    }
    std::uint32_t TickCount() override { return tick; }
    void PickNextRecordFile() override { calls.push_back("pick"); }
    bool StartOutput() override {
        calls.push_back("start writers");
        return writersStart;
    }
    void StopOutput() override { calls.push_back("stop writers"); }
    void ReportLostAudio() override {}
    void DeleteCurrentFile() override { calls.push_back("delete"); }
    void RescanAndSort() override { calls.push_back("rescan"); }
    void ClearStatusText() override { calls.push_back("clear status"); }
    void StopCapture() override { calls.push_back("stop capture"); }
    void StartCapture() override { calls.push_back("start capture"); }
    void PausePlayer() override { calls.push_back("pause player"); }
    void ResumePlayer() override { calls.push_back("resume player"); }
    void StopPlayer() override { calls.push_back("stop player"); }
};

using Calls = std::vector<std::string>;

class SessionTest : public ::testing::Test {
protected:
    ScriptedHost host;
    Session session{host};

    void Record() {
        session.StartRecording();
        host.calls.clear();
    }
    std::string ElapsedText() {
        session.UpdateElapsed();
        return FormatElapsed(session.State().Elapsed);
    }
};

TEST_F(SessionTest, StartFromMonitoringPicksAFileAndStartsTheWriters) {
    session.StartRecording();
    EXPECT_EQ(host.calls, (Calls{"pick", "start writers"}));
    EXPECT_TRUE(session.State().IsRecording);
    EXPECT_EQ(ElapsedText(), "00:00:00");
}

TEST_F(SessionTest, StartIsRefusedWhereItDoesNotApply) {
    struct Case {
        const char* what;
        std::function<void(ScriptedHost&, Session&)> arrange;
        Calls expected;
        bool recording;
    };
    const std::vector<Case> cases = {
        {"already recording", [](ScriptedHost&, Session& s) { s.StartRecording(); }, {}, true},
        {"playing", [](ScriptedHost&, Session& s) { s.PlaybackStarted(); }, {}, false},
        {"no capture device",
         [](ScriptedHost& h, Session&) { h.devices = 0; },
         {"message No recording can start: there is no audio source."},
         false},
        {"folder on a disc",
         [](ScriptedHost& h, Session&) { h.cdrom = true; },
         {"message Can not save to CDROM drive"},
         false},
        {"writers fail",
         [](ScriptedHost& h, Session&) { h.writersStart = false; },
         {"pick", "start writers"},
         false},
    };
    for (const Case& c : cases) {
        ScriptedHost host;
        Session session{host};
        c.arrange(host, session);
        host.calls.clear();
        session.StartRecording();
        EXPECT_EQ(host.calls, c.expected) << c.what;
        EXPECT_EQ(session.State().IsRecording, c.recording) << c.what;
    }
}

TEST_F(SessionTest, ASecondStartArrivingWhileEventsRunStartsOnlyOneRecording) {
    host.duringEvents = [this] { session.StartRecording(); };
    session.StartRecording();
    EXPECT_EQ(host.calls, (Calls{"pick", "start writers"}));
    EXPECT_TRUE(session.State().IsRecording);
}

TEST_F(SessionTest, StopFinishesTheFileRescansAndReturnsToMonitoring) {
    Record();
    session.StopAll();
    EXPECT_EQ(host.calls, (Calls{"stop writers", "rescan", "clear status"}));
    EXPECT_FALSE(session.State().IsRecording);
    host.calls.clear();
    session.StopAll(); // monitoring: nothing
    session.StopRecording();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(SessionTest, NoBlockIsWrittenWhileTheWritersStop) {
    Record();
    bool recordingWhileEventsRan = true;
    host.duringEvents = [&] { recordingWhileEventsRan = session.State().IsRecording; };
    session.StopRecording();
    EXPECT_FALSE(recordingWhileEventsRan);
}

TEST_F(SessionTest, PauseKeepsTheTimeAndResumeGoesOnFromIt) {
    Record();
    host.tick += 10000;
    EXPECT_EQ(ElapsedText(), "00:00:10");
    session.PauseResume();
    EXPECT_TRUE(session.State().IsPaused);
    host.tick += 5000;
    EXPECT_FALSE(session.UpdateElapsed());
    EXPECT_EQ(FormatElapsed(session.State().Elapsed), "00:00:10");
    session.PauseResume();
    EXPECT_EQ(ElapsedText(), "00:00:10");
    host.tick += 2500;
    EXPECT_EQ(ElapsedText(), "00:00:12");
    EXPECT_EQ(host.calls, (Calls{"stop capture", "start capture"}));
}

TEST_F(SessionTest, ElapsedTimeSurvivesTheWrapOfTheTickCount) {
    host.tick = 0xFFFFFFFFu - 1999;
    Record();
    host.tick += 65000; // wraps past zero
    EXPECT_EQ(ElapsedText(), "00:01:05");
}

TEST_F(SessionTest, RestartEmptiesTheSameFileAndTheTimeStartsAgain) {
    Record();
    host.tick += 42000;
    session.UpdateElapsed();
    session.RestartRecording();
    EXPECT_EQ(host.calls, (Calls{"stop writers", "delete", "start writers"}));
    EXPECT_TRUE(session.State().IsRecording);
    EXPECT_EQ(ElapsedText(), "00:00:00");
}

TEST_F(SessionTest, RestartWhilePausedOrMonitoringDoesNothing) {
    session.RestartRecording();
    Record();
    session.PauseResume();
    host.calls.clear();
    session.RestartRecording();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(session.State().IsRecording);
}

TEST_F(SessionTest, StopWhilePausedStartsTheCaptureAgainBeforeFinishing) {
    Record();
    session.PauseResume();
    host.calls.clear();
    session.StopAll();
    EXPECT_EQ(host.calls, (Calls{"start capture", "stop writers", "rescan", "clear status"}));
    EXPECT_FALSE(session.State().IsPaused);
    EXPECT_FALSE(session.State().IsRecording);
}

TEST_F(SessionTest, PauseAndStopActOnAPlayback) {
    session.PlaybackStarted();
    session.PauseResume();
    session.PauseResume();
    session.PauseResume();
    session.StopAll();
    EXPECT_EQ(host.calls, (Calls{"pause player", "resume player", "pause player", "stop player"}));
    EXPECT_FALSE(session.State().IsPlaying);
    EXPECT_FALSE(session.State().IsPaused);
}

TEST_F(SessionTest, PauseWhileMonitoringDoesNothing) {
    session.PauseResume();
    EXPECT_FALSE(session.State().IsPaused);
    EXPECT_TRUE(host.calls.empty());
}

TEST(FormatElapsed, HoursMinutesSecondsEachCutToTwoDigits) {
    const std::vector<std::pair<std::uint32_t, std::string>> cases = {
        {0, "00:00:00"},         {999, "00:00:00"},         {65000, "00:01:05"},
        {3723000, "01:02:03"},   {35999999, "09:59:59"},    {360000000, "10:00:00"},
        {363723000, "10:02:03"}, {0xFFFFFFFFu, "11:02:47"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(FormatElapsed(ms), text) << ms;
}

} // namespace
