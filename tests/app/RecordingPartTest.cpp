// Where a split falls and where a marker lies are counted in the recorded file's own frames,
// whatever rate the WAV page keeps for a format that records at another.

#include "app/RecordingPart.h"

#include "engine/OutputFormats.h"

#include <gtest/gtest.h>

namespace {

struct RateCase {
    const char* what;
    FormatId format;
    std::uint32_t samplesPerSecond; // as stored, for WAV and FLAC
    std::uint32_t fileRate;         // frames per second of the file written
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.what;
}

class PartRate : public ::testing::TestWithParam<RateCase> {
protected:
    RecordingSettings Settings() const {
        RecordingSettings s;
        SelectFormat(s, GetParam().format);
        s.SamplesPerSecond = GetParam().samplesPerSecond;
        ComputeBlockSizes(s);
        return s;
    }
};

TEST_P(PartRate, AMinuteAndAMarkerAreCountedInTheFilesFrames) {
    RecordingSettings s = Settings();
    s.SplitMinutes = 1;
    const std::uint64_t minute = 60ull * GetParam().fileRate;
    EXPECT_FALSE(PartFull(s, RecordingPart{"f", minute - 1}, 0));
    EXPECT_TRUE(PartFull(s, RecordingPart{"f", minute}, 0));
    EXPECT_DOUBLE_EQ(MarkerSeconds(s, RecordingPart{"f", 3ull * GetParam().fileRate}, 0, true),
                     3.0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PartRate,
    ::testing::Values(RateCase{"Wav48000", FormatId::Wav, 48000, 48000},
                      RateCase{"Wav11025", FormatId::Wav, 11025, 11025},
                      RateCase{"Mp3WithTheWavPageAt48000", FormatId::Mp3, 48000, 44100},
                      RateCase{"WmaWithTheWavPageAt22050", FormatId::Wma, 22050, 44100},
                      RateCase{"Flac96000", FormatId::Flac, 96000, 96000},
                      RateCase{"OpusWithTheWavPageAt44100", FormatId::Opus, 44100, 48000}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
