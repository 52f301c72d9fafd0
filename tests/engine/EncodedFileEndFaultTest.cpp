// A disk that fills just as a WMA, FLAC or Opus recording stops: the encoder's last packets
// and the file's end no longer fit. Staged with a file size limit on this process, so no mount is
// needed.

#include "TestPaths.h"
#include "engine/OutputFormats.h"
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

struct EndCase {
    const char* name;
    FormatId format;
    const char* extension;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

class EncodedFileEnd : public testing::TestWithParam<EndCase> {};

TEST_P(EncodedFileEnd, AFileWhoseEndCannotBeWrittenIsReportedNamingTheFile) {
    RecordingSettings s;
    SelectFormat(s, GetParam().format);
    ComputeBlockSizes(s);
    s.WMARate = 128;
    const std::string path = test_paths::FreshDir(std::string("end_fault_") + GetParam().name) +
                             "/record001." + GetParam().extension;
    WriterState w;
    ASSERT_FALSE(StartWriters(w, s, path, true).Message);
    std::vector<std::uint8_t> block(s.BlockBytes);
    for (int i = 0; i < 20; ++i) {
        for (std::size_t b = 0; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>(b * 7 + i * 13);
        ASSERT_FALSE(WriteBlock(w, block));
    }
    // Two seconds: all but the frame or page being filled reaches the file.
    const auto size = [&] { return std::filesystem::file_size(path); };
    for (std::uintmax_t last = 0; last == 0 || last != size();) {
        last = size();
        std::this_thread::sleep_for(300ms);
    }
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

INSTANTIATE_TEST_SUITE_P(WriterFaults, EncodedFileEnd,
                         testing::Values(EndCase{"Wma", FormatId::Wma, "wma"},
                                         EndCase{"Flac", FormatId::Flac, "flac"},
                                         EndCase{"Opus", FormatId::Opus, "opus"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
