// The format label's exact texts and icons.

#include "app/FormatLabel.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    void (*arrange)(RecordingSettings&);
    FormatIcon icon;
    const char* text;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.what;
}

class FormatLabelTest : public ::testing::TestWithParam<Case> {};

TEST_P(FormatLabelTest, TextAndIcon) {
    RecordingSettings settings;
    settings.MP3 = false;
    GetParam().arrange(settings);
    const FormatLabel label = DescribeFormat(settings);
    EXPECT_EQ(label.text, GetParam().text);
    EXPECT_EQ(label.icon, GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatLabelTest,
    ::testing::Values(Case{"wav", [](RecordingSettings& s) { s.Wav = true; }, FormatIcon::Wav,
                           "WAV 44100Hz 16bit stereo"},
                      Case{"wav mono 8 bit",
                           [](RecordingSettings& s) {
                               s.Wav = true;
                               s.SamplesPerSecond = 11025;
                               s.BitsPerSample = 8;
                               s.Channels = 1;
                           },
                           FormatIcon::Wav, "WAV 11025Hz 8bit mono"},
                      Case{"mp3 joint",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.Mode = 1;
                           },
                           FormatIcon::MP3, "MP3 128 kbps joint stereo"},
                      Case{"mp3 vbr follows the mp3 mode, not the channels",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.VBR = true;
                               s.Mode = 3;
                               s.Channels = 2;
                           },
                           FormatIcon::MP3, "MP3   VBR  mono"},
                      Case{"mp3 dual",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.Mode = 2;
                               s.BitRate = 320;
                           },
                           FormatIcon::MP3, "MP3 320 kbps dual channel"},
                      Case{"wma",
                           [](RecordingSettings& s) {
                               s.WMA = true;
                               s.WMARate = 64;
                               s.Channels = 1;
                           },
                           FormatIcon::WMA, "WMA 64 kbps mono"},
                      Case{"ogg rate", [](RecordingSettings& s) { s.OGG = true; }, FormatIcon::Ogg,
                           "OGG 128 kbps stereo"},
                      Case{"ogg quality",
                           [](RecordingSettings& s) {
                               s.OGG = true;
                               s.QualityMode = true;
                               s.OggQuality = 3;
                               s.Channels = 1;
                           },
                           FormatIcon::Ogg, "OGG Quality - 3 mono"},
                      Case{"ogg fractional quality",
                           [](RecordingSettings& s) {
                               s.OGG = true;
                               s.QualityMode = true;
                               s.OggQuality = 2.5f;
                           },
                           FormatIcon::Ogg, "OGG Quality - 2.5 stereo"},
                      Case{"several flags: the last wins",
                           [](RecordingSettings& s) { s.Wav = s.MP3 = s.WMA = true; },
                           FormatIcon::WMA, "WMA 128 kbps stereo"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
