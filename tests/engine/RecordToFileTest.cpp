// Recording the test server's known signal into each format through the real capture device
// and the real encoders, then decoding the file back with the audio library.

#include "DecodedAudio.h"
#include "KnownSignal.h"
#include "TestPaths.h"
#include "engine/OutputFormats.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

constexpr int Blocks = 20; // 2 s

// Hands every block to the writers, as the main window does, and keeps a copy of the bytes.
class WritingConsumer : public BlockConsumer {
public:
    explicit WritingConsumer(WriterState& writers) : writers(writers) {}
    void ShowBlock(const ConvertedBlock&) override {}
    void RecordBlock(const ConvertedBlock& block) override {
        const std::span<const std::uint8_t> bytes(block.OutputBlock.data(), block.OutputBytes);
        written.insert(written.end(), bytes.begin(), bytes.end());
        if (const MaybeMessage message = ::WriteBlock(writers, block.OutputBlock))
            messages += message->text;
        ++blocks;
    }
    WriterState& writers;
    std::vector<std::uint8_t> written;
    std::string messages;
    int blocks = 0;
};

struct Recording {
    const char* name;
    const char* extension;
    void (*set)(RecordingSettings&);
};

void PrintTo(const Recording& r, std::ostream* os) {
    *os << r.name;
}

// Records `Blocks` blocks of the 44100 Hz source into `path`; returns the bytes handed over.
std::vector<std::uint8_t> Record(RecordingSettings& s, const std::string& path) {
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100");
    CaptureRing ring(device);
    EXPECT_EQ(ring.OpenCapture(s).Outcome, OpenOutcome::Opened);
    WriterState writers;
    const StartResult start = StartWriters(writers, s, path, ring.IsOpen());
    EXPECT_TRUE(start.Started);
    EXPECT_FALSE(start.Message);
    WritingConsumer consumer(writers);
    ConvertedBlock block;
    for (int tick = 0; tick < 300 && consumer.blocks < Blocks; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
        ring.PollCapture(s, block, PollFlags{.Recording = consumer.blocks < Blocks}, consumer);
    }
    // The device goes before the stop, as when the last capture device disappears.
    ring.CloseCapture();
    StopWriters(writers);
    FinishAllWriters(writers);
    // Nothing dropped (the time from the last block to the close counts as lost, by design).
    EXPECT_EQ(device.Overrun(), 0u);
    EXPECT_EQ(WriterLostMs(writers), 0u);
    const WriterNews news = PollWriters(writers);
    EXPECT_EQ(news.FinishedFiles, std::vector<std::string>{path});
    EXPECT_FALSE(news.Message);
    EXPECT_EQ(consumer.blocks, Blocks);
    EXPECT_EQ(consumer.messages, "");
    return consumer.written;
}

} // namespace

class RecordToFile : public testing::TestWithParam<Recording> {};

TEST_P(RecordToFile, TheKnownSignalComesBack) {
    RecordingSettings s;
    GetParam().set(s);
    const std::string path = test_paths::FreshDir(std::string("record_") + GetParam().name) +
                             "/record001." + GetParam().extension;
    const auto written = Record(s, path);
    const std::size_t frames = written.size() / s.BlockAlign;
    ASSERT_EQ(frames, Blocks * s.BlockFrames);

    const auto audio = decoded_audio::Decode(path);
    // WAV and FLAC at the chosen rate, Opus at its own, the other encoders at CD rate.
    const int rate = s.Wav || s.FLAC ? int(s.SamplesPerSecond) : s.Opus ? 48000 : 44100;
    ASSERT_EQ(audio.Rate, rate);
    ASSERT_EQ(audio.Channels, s.Channels);

    if (s.Wav) {
        // Bit-exact: the file holds the converted blocks, and 16-bit stereo is the signal itself.
        std::stringstream file;
        file << std::ifstream(path, std::ios::binary).rdbuf();
        const std::string bytes = file.str();
        ASSERT_EQ(bytes.size(), 44 + written.size());
        EXPECT_TRUE(bytes.substr(44) == std::string(written.begin(), written.end()));
        ASSERT_EQ(audio.Frames(), frames);
        if (s.Channels == 2 && s.BitsPerSample == 16) {
            const auto phase = known_signal::PhaseOf(audio.Samples[1]);
            EXPECT_EQ(known_signal::CheckStereo(audio.Samples, phase), std::nullopt);
        }
        return;
    }
    if (s.FLAC) {
        // Lossless: decoded, it is the WAV file's audio of the same capture, sample for sample.
        ASSERT_EQ(audio.Frames(), frames);
        EXPECT_TRUE(std::memcmp(audio.Samples.data(), written.data(), written.size()) == 0);
        return;
    }
    // The encoders may add up to two codec frames of padding and priming.
    EXPECT_GE(audio.Frames() + 1152, frames);
    EXPECT_LE(audio.Frames(), frames + 2 * 2048);
    // The left sine's level and frequency, from 0.3 s to 1.7 s.
    const double frequency = known_signal::SineFrequency(44100);
    const auto at = [&](double seconds) { return std::size_t(seconds * audio.Rate); };
    const auto sine = decoded_audio::MeasureSine(audio, 0, at(0.3), at(1.7), frequency);
    // Mono is the mix of both sides: half the sine (the ramp lies far below 1 kHz).
    const double amplitude =
        s.Channels == 1 ? known_signal::SineAmplitude / 2.0 : double(known_signal::SineAmplitude);
    EXPECT_NEAR(sine.Amplitude, amplitude, amplitude * 0.1);
    EXPECT_NEAR(sine.Frequency, frequency, 1.0);
    if (s.Opus && s.Channels == 2) {
        // Opus keeps little of the right ramp's slope (it drops the 1.3 Hz fundamental as it
        // drops DC), but each fall from its top to its bottom: the falls come a period apart,
        // so nothing between them was lost or repeated. A fall is where the channel drops by
        // more than half the ramp's range within a third of a millisecond.
        const double period = double(known_signal::Period) / 44100;
        const std::size_t span = std::size_t(audio.Rate) / 3000;
        std::vector<double> falls;
        for (std::size_t i = at(0.05); i < audio.Frames(); ++i) {
            const int drop = audio.Samples[(i - span) * 2 + 1] - audio.Samples[i * 2 + 1];
            if (drop > 16384 && (falls.empty() || double(i) / audio.Rate - falls.back() > 0.1))
                falls.push_back(double(i) / audio.Rate);
        }
        ASSERT_GE(falls.size(), 2u);
        for (std::size_t k = 1; k < falls.size(); ++k)
            EXPECT_NEAR(falls[k] - falls[k - 1], period, 0.002)
                << "after the fall at " << falls[k - 1];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RecordToFile,
    testing::Values(Recording{"Wav16Stereo", "wav",
                              [](RecordingSettings& s) {
                                  s.MP3 = false;
                                  s.Wav = true;
                              }},
                    Recording{"Wav8Mono22050", "wav",
                              [](RecordingSettings& s) {
                                  s.MP3 = false;
                                  s.Wav = true;
                                  s.BitsPerSample = 8;
                                  s.Channels = 1;
                                  s.SamplesPerSecond = 22050;
                              }},
                    Recording{"Mp3", "mp3", [](RecordingSettings& s) { s.Mode = 1; }},
                    Recording{"Mp3VbrMono", "mp3",
                              [](RecordingSettings& s) {
                                  s.VBR = true;
                                  s.Mode = 3;
                                  s.Channels = 1;
                              }},
                    Recording{"Ogg", "ogg",
                              [](RecordingSettings& s) {
                                  s.MP3 = false;
                                  s.OGG = true;
                                  s.QualityMode = true;
                                  s.OggQuality = 4.5f;
                              }},
                    Recording{"Wma", "wma",
                              [](RecordingSettings& s) {
                                  s.MP3 = false;
                                  s.WMA = true;
                              }},
                    Recording{"Flac44100Stereo", "flac",
                              [](RecordingSettings& s) { SelectFormat(s, FormatId::Flac); }},
                    Recording{"Flac44100Mono", "flac",
                              [](RecordingSettings& s) {
                                  SelectFormat(s, FormatId::Flac);
                                  s.Channels = 1;
                                  s.FlacLevel = 8;
                              }},
                    Recording{"Flac48000Stereo", "flac",
                              [](RecordingSettings& s) {
                                  SelectFormat(s, FormatId::Flac);
                                  s.SamplesPerSecond = 48000;
                                  s.FlacLevel = 0;
                              }},
                    Recording{"Flac48000Mono", "flac",
                              [](RecordingSettings& s) {
                                  SelectFormat(s, FormatId::Flac);
                                  s.SamplesPerSecond = 48000;
                                  s.Channels = 1;
                              }},
                    Recording{"OpusStereo", "opus",
                              [](RecordingSettings& s) { SelectFormat(s, FormatId::Opus); }},
                    Recording{"OpusMono32", "opus",
                              [](RecordingSettings& s) {
                                  SelectFormat(s, FormatId::Opus);
                                  s.Channels = 1;
                                  s.OpusRate = 32;
                              }}),
    [](const auto& info) { return std::string(info.param.name); });
