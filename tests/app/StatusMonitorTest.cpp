#include "app/StatusMonitor.h"

#include <gtest/gtest.h>

namespace {

struct UnattendedCase {
    const char* what;
    bool recording, minimized;
    std::uint64_t lostMs;
    const char* unattended;
    const char *status, *hint, *caption;
};

TEST(StatusMonitor, AnUnattendedRecordingShowsItsWordAndTellsTheRestInTheHintAndTitle) {
    const UnattendedCase cases[] = {
        {"Waiting", false, false, 0, "Waiting - starts 14:00:00", "Waiting",
         "Waiting - starts 14:00:00", "Sonvera - Waiting - starts 14:00:00"},
        {"WaitingMinimized", false, true, 0, "Waiting - starts 14:00:00", "Waiting",
         "Waiting - starts 14:00:00", "Waiting - starts 14:00:00"},
        {"Pausing", true, false, 0, "Pausing in 3 s", "Pausing", "Pausing in 3 s",
         "Sonvera - record001.wav - Pausing in 3 s"},
        {"ALossIsToldFirst", true, false, 200, "Pausing in 3 s", "Lost 0.2 s",
         "Recording - 0.2 s lost", "Sonvera - record001.wav - Pausing in 3 s"},
    };
    for (const UnattendedCase& c : cases) {
        SessionState session;
        session.IsRecording = c.recording;
        StatusMonitor monitor;
        monitor.Minimized = c.minimized;
        const std::string file = "/music/record001.wav";
        const StatusView view = UpdateStatusMonitor(
            monitor, {session, 0.0, file, "/music", "Line In", c.lostMs, c.unattended});
        EXPECT_EQ(monitor.StatusText, c.status) << c.what;
        EXPECT_EQ(view.StatusHint, c.hint) << c.what;
        EXPECT_EQ(view.Caption, c.caption) << c.what;
    }
}

} // namespace
