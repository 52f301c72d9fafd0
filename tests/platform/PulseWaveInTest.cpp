// The capture device over the test sound server: its device list, a stop that hands back the
// buffer being filled, a reset, the pace of a sink's monitor, a source of small pieces taken a
// few times a second, a source that vanishes, and no server at all.

#include "platform/PulseWaveIn.h"

#include "KnownSignal.h"
#include "platform/PulseConnection.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string Pactl(const std::string& args) {
    std::string output;
    if (FILE* pipe = popen(("pactl " + args).c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe))
            output += line;
        pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

template <typename Condition> bool WaitFor(Condition condition) {
    for (int i = 0; i < 300 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

// A null source that the test loads and removes, with a description longer than a device name.
class TemporarySource {
public:
    explicit TemporarySource(const std::string& name, const std::string& description) {
        module_ = Pactl("load-module module-null-source source_name=" + name +
                        " description=" + description + " 2>/dev/null");
        // PipeWire's pulse server has no null source; its null sink makes a virtual one.
        if (module_.empty())
            module_ = Pactl("load-module module-null-sink media.class=Audio/Source/Virtual "
                            "sink_name=" +
                            name + " sink_properties=device.description=" + description);
    }
    ~TemporarySource() { Unload(); }
    void Unload() {
        if (!module_.empty())
            Shell("pactl unload-module " + module_);
        module_.clear();
    }

private:
    std::string module_;
};

std::vector<std::string> Names(PulseWaveIn& device) {
    std::vector<std::string> names;
    const std::uint32_t count = device.GetNumDevs();
    for (std::uint32_t i = 0; i < count; ++i) {
        WaveInCaps caps;
        EXPECT_EQ(device.GetDevCaps(i, caps), WaveOk);
        EXPECT_EQ(caps.dwFormats, 0xFFFFFu);
        names.emplace_back(caps.szPname);
    }
    return names;
}

TEST(PulseWaveIn, DevicesAreTheSourcesWithTheDefaultFirst) {
    // 30 letters and a two-byte letter that the 31-byte cut must not split.
    TemporarySource longName("sonvera_long", "Sonvera_test_source_named_long\xC3\xA9_and_more");
    PulseWaveIn device(platform::Pulse());
    const std::vector<std::string> names = Names(device);
    ASSERT_GE(names.size(), 6u);
    EXPECT_EQ(names[0], "Test_signal_44100");
    EXPECT_EQ(device.SourceName(0), "sonvera_signal_44100");
    EXPECT_NE(std::find(names.begin(), names.end(), "Monitor of Test_output"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Sonvera_test_source_named_long"), names.end());

    // A new default source, or a new source, is in the list once the server has told of it.
    ASSERT_TRUE(Shell("pactl set-default-source sonvera_silence"));
    const bool silenceFirst = WaitFor([&] { return Names(device)[0] == "Silence"; });
    ASSERT_TRUE(Shell("pactl set-default-source sonvera_signal_44100"));
    EXPECT_TRUE(silenceFirst);
    EXPECT_TRUE(WaitFor([&] { return Names(device)[0] == "Test_signal_44100"; }));
    const std::size_t before = Names(device).size();
    {
        TemporarySource added("sonvera_added", "Added_source");
        EXPECT_TRUE(WaitFor([&] { return Names(device).size() == before + 1; }));
    }
    EXPECT_TRUE(WaitFor([&] { return Names(device).size() == before; }));

    // A source asked for by name comes first instead.
    PulseWaveIn chosen(platform::Pulse(), "sonvera_signal_96000");
    EXPECT_EQ(Names(chosen)[0], "Test_signal_96000");
}

// One second of buffer each, so the stop finds the first one part full.
struct Buffers {
    static constexpr std::uint32_t Bytes = 44100 * 4;
    std::vector<std::uint8_t> store = std::vector<std::uint8_t>(3 * Bytes);
    WaveHeader headers[3];
    Buffers() {
        for (int i = 0; i < 3; ++i) {
            headers[i].Data = store.data() + i * Bytes;
            headers[i].BufferLength = Bytes;
        }
    }
    bool Done(int i) const { return headers[i].Flags & WaveHeaderDone; }
};

TEST(PulseWaveIn, StopHandsBackThePartlyFilledBufferAndResetTheRest) {
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100");
    ASSERT_EQ(device.Open(0, 44100), WaveOk);
    Buffers b;
    for (WaveHeader& h : b.headers)
        ASSERT_EQ(device.AddBuffer(h), WaveOk);
    ASSERT_EQ(device.Start(), WaveOk);
    ASSERT_TRUE(WaitFor([&] { return b.headers[0].BytesRecorded >= 8820; }));
    ASSERT_EQ(device.Stop(), WaveOk);

    const std::uint32_t recorded = b.headers[0].BytesRecorded;
    EXPECT_TRUE(b.Done(0));
    EXPECT_LT(recorded, Buffers::Bytes);
    EXPECT_FALSE(b.Done(1));
    // What was captured is the signal, unbroken.
    const auto* samples = reinterpret_cast<const std::int16_t*>(b.headers[0].Data);
    EXPECT_EQ(known_signal::CheckStereo({samples, recorded / 2}, known_signal::PhaseOf(samples[1])),
              std::nullopt);

    std::this_thread::sleep_for(100ms); // nothing lands while stopped
    EXPECT_EQ(b.headers[1].BytesRecorded, 0u);
    EXPECT_EQ(b.headers[0].BytesRecorded, recorded);

    ASSERT_EQ(device.Reset(), WaveOk);
    EXPECT_TRUE(b.Done(1));
    EXPECT_TRUE(b.Done(2));
    EXPECT_EQ(device.Close(), WaveOk);
    EXPECT_EQ(device.Overrun(), 0u);
}

// A capture of `source` started with buffers of 100 ms, as the program queues them, one after
// the other in one store.
struct Capture {
    static constexpr std::uint32_t Bytes = 4410 * 4;
    PulseWaveIn device;
    std::vector<std::uint8_t> store;
    std::unique_ptr<WaveHeader[]> headers;
    Capture(const std::string& source, int count)
        : device(platform::Pulse(), source), store(count * Bytes),
          headers(std::make_unique<WaveHeader[]>(count)) {
        EXPECT_EQ(device.Open(0, 44100), WaveOk);
        for (int i = 0; i < count; ++i) {
            headers[i].Data = store.data() + i * Bytes;
            headers[i].BufferLength = Bytes;
            EXPECT_EQ(device.AddBuffer(headers[i]), WaveOk);
        }
        EXPECT_EQ(device.Start(), WaveOk);
    }
    bool Done(std::size_t i) const { return headers[i].Flags & WaveHeaderDone; }
};

TEST(PulseWaveIn, ASinksMonitorHandsOverEveryBufferAsItFillsNotInBursts) {
    // The monitor of the output follows the latency its readers ask for, as sound cards do.
    constexpr int count = 25;
    Capture b("sonvera_out.monitor", count);
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::chrono::milliseconds> filled;
    for (auto now = start; now - start < 5s && filled.size() < count;
         now = std::chrono::steady_clock::now()) {
        if (b.Done(filled.size()))
            filled.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(now - start));
        else
            std::this_thread::sleep_for(2ms);
    }
    b.device.Close();
    // The first may wait for the sink's last wakeup at its old pace; from then on about ten
    // a second, each soon after the last: not 2 s of them at once every 2 s.
    ASSERT_GE(filled.size(), 20u);
    std::chrono::milliseconds longestWait{0};
    for (std::size_t i = 2; i < filled.size(); ++i)
        longestWait = std::max(longestWait, filled[i] - filled[i - 1]);
    EXPECT_LT(longestWait, 600ms);
}

// How often the connection's thread has gone to sleep so far: each time, a wakeup follows.
std::uint64_t ConnectionSleeps() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name != "sound-server")
            continue;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                return std::stoull(line.substr(line.find(':') + 1));
    }
    ADD_FAILURE() << "no thread of the connection";
    return 0;
}

TEST(PulseWaveIn, ASourceOfSmallPiecesWakesTheConnectionAFewTimesASecondAndLosesNothing) {
    // The test signal's pipe hands over 10 ms at a time, whatever its readers ask for.
    constexpr int count = 30;
    Capture b("sonvera_signal_44100", count);
    ASSERT_TRUE(WaitFor([&] { return b.Done(0); }));
    const std::uint64_t sleepsBefore = ConnectionSleeps();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(2s);
    const std::uint64_t sleeps = ConnectionSleeps() - sleepsBefore;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // A question to the server meanwhile is answered without waiting for the gathering.
    const auto asked = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i)
        EXPECT_GT(PulseWaveIn(platform::Pulse()).GetNumDevs(), 0u);
    const auto answered = std::chrono::steady_clock::now() - asked;
    ASSERT_TRUE(WaitFor([&] { return b.Done(count - 1); }));
    b.device.Close();

    // Before, the connection woke for each piece: about 100 times a second.
    EXPECT_LT(sleeps / seconds, 1.5 * 1000 / platform::PulseConnection::GatherTime.count());
    EXPECT_LT(answered, 20 * platform::PulseConnection::GatherTime / 4);
    // Three seconds of the signal, unbroken across the buffers.
    const auto* samples = reinterpret_cast<const std::int16_t*>(b.store.data());
    EXPECT_EQ(
        known_signal::CheckStereo({samples, b.store.size() / 2}, known_signal::PhaseOf(samples[1])),
        std::nullopt);
    EXPECT_EQ(b.device.Overrun(), 0u);
}

TEST(PulseWaveIn, AVanishedSourceEndsTheStreamInsteadOfMovingIt) {
    TemporarySource source("sonvera_vanishing", "Vanishing");
    PulseWaveIn device(platform::Pulse(), "sonvera_vanishing");
    ASSERT_EQ(Names(device)[0], "Vanishing");
    ASSERT_EQ(device.Open(0, 44100), WaveOk);
    Buffers b;
    device.AddBuffer(b.headers[0]);
    device.Start();
    EXPECT_FALSE(device.DeviceLost());
    source.Unload();
    EXPECT_TRUE(WaitFor([&] { return device.DeviceLost(); }));
    EXPECT_EQ(device.Close(), WaveOk);
    EXPECT_FALSE(device.DeviceLost());
    // Device 0 is the server's default again, and opens.
    EXPECT_EQ(Names(device)[0], "Test_signal_44100");
    EXPECT_EQ(device.Open(0, 48000), WaveOk);
}

TEST(PulseWaveIn, FailuresCarryTheServersText) {
    PulseWaveIn device(platform::Pulse());
    device.GetNumDevs();
    const WaveResult unknown = device.Open(99, 44100);
    EXPECT_NE(unknown, WaveOk);
    EXPECT_EQ(device.GetErrorText(unknown), "No such entity");

    const std::string server = std::getenv("PULSE_SERVER");
    setenv("PULSE_SERVER", "unix:/nonexistent/native", 1);
    platform::PulseConnection elsewhere;
    PulseWaveIn away(elsewhere);
    const std::uint32_t count = away.GetNumDevs();
    const WaveResult refused = away.Open(0, 44100);
    setenv("PULSE_SERVER", server.c_str(), 1);
    EXPECT_EQ(count, 0u);
    EXPECT_NE(refused, WaveOk);
    EXPECT_FALSE(away.GetErrorText(refused).empty());
}

} // namespace
