// The format label's exact texts and icons: the selected format's row and its label.

#include "engine/OutputFormats.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    void (*arrange)(RecordingSettings&);
    FormatId format;
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
    const OutputFormat& format = SelectedFormat(settings);
    EXPECT_EQ(format.Label(settings), GetParam().text);
    EXPECT_EQ(format.Id, GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatLabelTest,
    ::testing::Values(Case{"wav", [](RecordingSettings& s) { s.Wav = true; }, FormatId::Wav,
                           "WAV 44100Hz 16bit stereo"},
                      Case{"wav mono 8 bit",
                           [](RecordingSettings& s) {
                               s.Wav = true;
                               s.SamplesPerSecond = 11025;
                               s.BitsPerSample = 8;
                               s.Channels = 1;
                           },
                           FormatId::Wav, "WAV 11025Hz 8bit mono"},
                      Case{"mp3 joint",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.Mode = 1;
                           },
                           FormatId::Mp3, "MP3 128 kbps joint stereo"},
                      Case{"mp3 vbr follows the mp3 mode, not the channels",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.VBR = true;
                               s.Mode = 3;
                               s.Channels = 2;
                           },
                           FormatId::Mp3, "MP3   VBR  mono"},
                      Case{"mp3 dual",
                           [](RecordingSettings& s) {
                               s.MP3 = true;
                               s.Mode = 2;
                               s.BitRate = 320;
                           },
                           FormatId::Mp3, "MP3 320 kbps dual channel"},
                      Case{"wma",
                           [](RecordingSettings& s) {
                               s.WMA = true;
                               s.WMARate = 64;
                               s.Channels = 1;
                           },
                           FormatId::Wma, "WMA 64 kbps mono"},
                      Case{"ogg rate", [](RecordingSettings& s) { s.OGG = true; }, FormatId::Ogg,
                           "OGG 128 kbps stereo"},
                      Case{"ogg quality",
                           [](RecordingSettings& s) {
                               s.OGG = true;
                               s.QualityMode = true;
                               s.OggQuality = 3;
                               s.Channels = 1;
                           },
                           FormatId::Ogg, "OGG Quality - 3 mono"},
                      Case{"ogg fractional quality",
                           [](RecordingSettings& s) {
                               s.OGG = true;
                               s.QualityMode = true;
                               s.OggQuality = 2.5f;
                           },
                           FormatId::Ogg, "OGG Quality - 2.5 stereo"},
                      Case{"flac",
                           [](RecordingSettings& s) {
                               s.FLAC = true;
                               s.BitsPerSample = 8; // WAV's choice: FLAC stays 16-bit
                           },
                           FormatId::Flac, "FLAC 44100Hz 16bit stereo level 5"},
                      Case{"flac mono 96 kHz level 0",
                           [](RecordingSettings& s) {
                               s.FLAC = true;
                               s.SamplesPerSecond = 96000;
                               s.Channels = 1;
                               s.FlacLevel = 0;
                           },
                           FormatId::Flac, "FLAC 96000Hz 16bit mono level 0"},
                      Case{"opus", [](RecordingSettings& s) { s.Opus = true; }, FormatId::Opus,
                           "Opus 64kbps stereo"},
                      Case{"opus mono",
                           [](RecordingSettings& s) {
                               s.Opus = true;
                               s.OpusRate = 24;
                               s.Channels = 1;
                           },
                           FormatId::Opus, "Opus 24kbps mono"},
                      Case{"several flags: the first in the table wins",
                           [](RecordingSettings& s) { s.Opus = s.WMA = s.MP3 = true; },
                           FormatId::Mp3, "MP3 128 kbps stereo"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
