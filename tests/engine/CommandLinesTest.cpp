#include "engine/global.h"
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

struct LineCase {
    const char* name;
    void (*set)(RecordingSettings&);
    const char* separator;
    const char* path;
    const char* line;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class EncoderCommandLine : public testing::TestWithParam<LineCase> {};

TEST_P(EncoderCommandLine, IsTheExactText) {
    RecordingSettings s;
    GetParam().set(s);
    const std::string built =
        s.MP3 ? BuildLameCommandLine(s, GetParam().path)
              : BuildOggencCommandLine(s, GetParam().path, GetParam().separator);
    EXPECT_EQ(built, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, EncoderCommandLine,
    testing::Values(LineCase{"Mp3JointStereo", [](RecordingSettings& s) { s.Mode = 1; }, ".",
                             "/music/record001.mp3",
                             "lame.exe -b 128 -m j - \"/music/record001.mp3\""},
                    LineCase{"Mp3MonoAt64",
                             [](RecordingSettings& s) {
                                 s.BitRate = 64;
                                 s.Mode = 3;
                             },
                             ".", "/m/a.mp3", "lame.exe -b 64 -m m - \"/m/a.mp3\""},
                    // With VBR the constant rate is left out, whatever it is.
                    LineCase{"Mp3Vbr",
                             [](RecordingSettings& s) {
                                 s.VBR = true;
                                 s.BitRate = 192;
                                 s.VBRQuality = 4;
                                 s.MinBitRate = 64;
                                 s.MaxBitRate = 256;
                                 s.Mode = 2;
                             },
                             ".", "/m/a.mp3", "lame.exe -v -V 4 -b 64 -B 256 -m d - \"/m/a.mp3\""},
                    LineCase{"OggBitRate",
                             [](RecordingSettings& s) {
                                 s.MP3 = false;
                                 s.OGG = true;
                                 s.OggRate = 96;
                             },
                             ".", "/m/My Music/a.ogg",
                             "oggenc.exe -b 96 -o \"/m/My Music/a.ogg\" -"},
                    LineCase{"OggWholeQuality",
                             [](RecordingSettings& s) {
                                 s.MP3 = false;
                                 s.OGG = true;
                                 s.QualityMode = true;
                                 s.OggQuality = 5;
                             },
                             ",", "/m/a.ogg", "oggenc.exe -q 5 -o \"/m/a.ogg\" -"},
                    LineCase{"OggQualityWithDecimalComma",
                             [](RecordingSettings& s) {
                                 s.MP3 = false;
                                 s.OGG = true;
                                 s.QualityMode = true;
                                 s.OggQuality = 4.5f;
                             },
                             ",", "/m/a.ogg", "oggenc.exe -q 4,5 -o \"/m/a.ogg\" -"},
                    LineCase{"OggQualityShortestText",
                             [](RecordingSettings& s) {
                                 s.MP3 = false;
                                 s.OGG = true;
                                 s.QualityMode = true;
                                 s.OggQuality = 0.1f;
                             },
                             ".", "/m/a.ogg", "oggenc.exe -q 0.1 -o \"/m/a.ogg\" -"},
                    LineCase{"OggNegativeQuality",
                             [](RecordingSettings& s) {
                                 s.MP3 = false;
                                 s.OGG = true;
                                 s.QualityMode = true;
                                 s.OggQuality = -1;
                             },
                             ".", "/m/a.ogg", "oggenc.exe -q -1 -o \"/m/a.ogg\" -"}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the path holds, the encoder gets it as one argument, unchanged.
class PathArgument : public testing::TestWithParam<std::string> {};

TEST_P(PathArgument, ReachesTheEncoderWhole) {
    RecordingSettings s;
    const auto lame = platform::SplitCommandLine(BuildLameCommandLine(s, GetParam()));
    ASSERT_EQ(lame.size(), 7u);
    EXPECT_EQ(lame[5], "-");
    EXPECT_EQ(lame[6], GetParam());

    s.QualityMode = true;
    s.OggQuality = 3;
    const auto ogg = platform::SplitCommandLine(BuildOggencCommandLine(s, GetParam(), "."));
    ASSERT_EQ(ogg.size(), 6u);
    EXPECT_EQ(ogg[4], GetParam());
    EXPECT_EQ(ogg[5], "-");
}

INSTANTIATE_TEST_SUITE_P(Paths, PathArgument,
                         testing::Values("/home/me/My Music/record001.mp3",
                                         "/home/me/\"quoted\" name/record002.mp3",
                                         "/home/me/Musik f\xc3\xbcr \xc3\x9c/\xe9\x9f\xb3.mp3",
                                         "/home/me/back\\slash\\"));
