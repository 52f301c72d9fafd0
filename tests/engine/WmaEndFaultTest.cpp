// A disk that fills just as a WMA recording stops: the encoder's last packets and index no
// longer fit. Staged with a file size limit on this process, so no mount is needed.

#include "OutputFormat.h"
#include "TestPaths.h"
#include "engine/Writers.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// While it lives, no file of this process grows past `bytes`: a write beyond fails (EFBIG).
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

TEST(WriterFaults, AWmaFileWhoseEndCannotBeWrittenIsReportedNamingTheFile) {
    RecordingSettings s = OutputFormat(false, 44100, 16, 2);
    s.MP3 = false;
    s.WMA = true;
    s.WMARate = 128;
    const std::string path = test_paths::FreshDir("wma_end_fault") + "/record001.wma";
    WriterState w;
    ASSERT_FALSE(StartWriters(w, s, path, true).Message);
    const std::vector<std::uint8_t> block(s.BlockBytes, 0x11);
    for (int i = 0; i < 20; ++i)
        ASSERT_FALSE(WriteBlock(w, block));
    // Two seconds at 128 kbit/s: all but the packet being filled is in the file.
    const auto size = [&] { return std::filesystem::file_size(path); };
    for (int i = 0; i < 100 && size() < 28000; ++i)
        std::this_thread::sleep_for(50ms);
    {
        FileSizeLimit full(size());
        StopWriters(w);
        FinishAllWriters(w);
    }
    const WriterNews news = PollWriters(w);
    ASSERT_TRUE(news.Message);
    EXPECT_EQ(news.Message->kind, UserMessage::Kind::Error);
    EXPECT_NE(news.Message->text.find(path), std::string::npos) << news.Message->text;
    EXPECT_NE(news.Message->text.find(platform::ErrorText(EFBIG)), std::string::npos)
        << news.Message->text;
}

} // namespace
