#include "library/SettingsFile.h"

#include "ProfileProperties.h"
#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

RecordingSettings Read(const std::string& text, const char* separator = ".") {
    RecordingSettings settings;
    ReadSettings(platform::Profile(text), settings, separator);
    return settings;
}

TEST(SettingsFile, NoFileGivesEveryDefault) {
    RecordingSettings s;
    s.OutputFolder = "/elsewhere";
    s.Wav = s.WMA = s.OGG = s.VBR = s.QualityMode = true;
    s.MP3 = s.FileList = s.ClippingDetection = s.SplitChannels = false;
    s.SamplesPerSecond = 96000;
    s.BitsPerSample = 8;
    s.Channels = 1;
    s.BitRate = s.MinBitRate = s.MaxBitRate = s.WMARate = s.OggRate = 64;
    s.Mode = s.VBRQuality = 3;
    s.OggQuality = 7;
    s.RecentFolders = {"/a", "/b", "/c", "/d"};
    s.Sort = 5;
    s.Image1 = s.Image2 = "/p.png";
    s.LeftColor = s.RightColor = s.BackgroundColor = 0x123456;
    s.CaptureFrames = 9600;
    s.FLAC = s.Opus = true;
    s.FlacLevel = 0;
    s.OpusRate = 16;

    ReadSettingsFile(test_paths::FreshDir("settings_none") + "/Sonvera.ini", s, ".");

    EXPECT_EQ(s.OutputFolder, "C:\\");
    EXPECT_TRUE(s.MP3);
    EXPECT_FALSE(s.Wav || s.WMA || s.OGG || s.VBR || s.QualityMode);
    EXPECT_EQ(s.SamplesPerSecond, 44100u);
    EXPECT_EQ(s.BitsPerSample, 16);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.BitRate, 128);
    EXPECT_EQ(s.Mode, 0);
    EXPECT_EQ(s.MinBitRate, 32);
    EXPECT_EQ(s.MaxBitRate, 320);
    EXPECT_EQ(s.VBRQuality, 0);
    EXPECT_EQ(s.WMARate, 128);
    EXPECT_EQ(s.OggRate, 128);
    EXPECT_EQ(s.OggQuality, 0);
    EXPECT_EQ(s.RecentFolders, (std::array<std::string, 4>{}));
    EXPECT_EQ(s.Sort, 1);
    EXPECT_TRUE(s.FileList && s.ClippingDetection && s.SplitChannels);
    EXPECT_EQ(s.Image1, "");
    EXPECT_EQ(s.Image2, "");
    EXPECT_EQ(s.LeftColor, 16711680u);
    EXPECT_EQ(s.RightColor, 65535u);
    EXPECT_EQ(s.BackgroundColor, 0u);
    EXPECT_EQ(s.CaptureFrames, 4096u);
    EXPECT_FALSE(s.FLAC || s.Opus);
    EXPECT_EQ(s.FlacLevel, 5);
    EXPECT_EQ(s.OpusRate, 64);
}

TEST(SettingsFile, TheFlacAndOpusSectionsReadInTheirForms) {
    const RecordingSettings s = Read("[flac settings]\nFLAC=1\nFlacLevel=0x7\n"
                                     "[Opus Settings]\nOpus=yes\nOpusRate=96\n");
    EXPECT_TRUE(s.FLAC);
    EXPECT_EQ(s.FlacLevel, 7);
    EXPECT_FALSE(s.Opus); // not a whole number: the default 0
    EXPECT_EQ(s.OpusRate, 96);
}

TEST(SettingsFile, HandEditedValuesReadInTheirForms) {
    const RecordingSettings s = Read("[Record Settings]\nWav=yes\nMP3=2\nBitsPerSample=65552\n"
                                     "SamplesPerSecond=-1\nChannels=0x\nMode=0x7FFFFFFF\n"
                                     "[Colors]\nLeft=0xFF\nBackground=-1\n"
                                     "[OGG Settings]\nOggQuality=1e39\n"
                                     "[Settings]\nSort=99\n[Folder]\nName=\n");
    EXPECT_FALSE(s.Wav);                        // not a whole number: the default 0
    EXPECT_TRUE(s.MP3);                         // any whole number but 0
    EXPECT_EQ(s.BitsPerSample, 16);             // the low 16 bits of 65552
    EXPECT_EQ(s.SamplesPerSecond, 0xFFFFFFFFu); // all 32 bits kept
    EXPECT_EQ(s.Channels, 2);                   // "0x" alone is no number
    EXPECT_EQ(s.Mode, 0x7FFFFFFF);              // no range test when reading
    EXPECT_EQ(s.LeftColor, 255u);
    EXPECT_EQ(s.BackgroundColor, 0xFFFFFFFFu);
    EXPECT_EQ(s.OggQuality, 0); // beyond a float: the default
    EXPECT_EQ(s.Sort, 99);
    EXPECT_EQ(s.OutputFolder, ""); // present but empty is not missing
}

TEST(SettingsFile, RealsFollowTheUsersDecimalSeparator) {
    EXPECT_EQ(Read("[OGG Settings]\nOggQuality=2,5\n", ",").OggQuality, 2.5f);
    EXPECT_EQ(Read("[OGG Settings]\nOggQuality=2.5\n", ",").OggQuality, 0);
    EXPECT_EQ(Read("[OGG Settings]\nOggQuality=2.5\n", ".").OggQuality, 2.5f);

    RecordingSettings s;
    s.OggQuality = 2.5f;
    platform::Profile profile;
    ASSERT_TRUE(WriteSettings(profile, s, ","));
    EXPECT_NE(profile.Text().find("\nOggQuality=2,5\n"), std::string::npos);
}

TEST(SettingsFile, AFreshFileHoldsEveryKeyInOrder) {
    RecordingSettings s;
    s.OutputFolder = "/home/me/Music";
    s.Wav = true;
    s.MP3 = false;
    s.BitsPerSample = 8;
    s.OggQuality = 5;
    s.RecentFolders = {"/home/me/Music", "", "/tmp/a b", ""};
    s.Image2 = "/pics/stream.jpg";
    s.BackgroundColor = 0x80FF00;
    s.KeysNoticeShown = true;
    s.FlacLevel = 8;
    s.OpusRate = 128;
    s.ScheduleStartAt = "2026-12-08 14:00:00";
    s.ScheduleDuration = 3600;
    s.SplitMegabytes = 650;
    s.NameTemplate = "%Y-%m-%d %H-%M-%S";
    const std::string path = test_paths::FreshDir("settings_fresh") + "/Sonvera.ini";

    EXPECT_EQ(WriteSettingsFile(path, s, "."), std::nullopt);

    EXPECT_EQ(Contents(path), "[Folder]\n"
                              "Name=/home/me/Music\n"
                              "[Record Settings]\n"
                              "Wav=1\n"
                              "SamplesPerSecond=44100\n"
                              "BitsPerSample=8\n"
                              "Channels=2\n"
                              "MP3=0\n"
                              "BitRate=128\n"
                              "Mode=0\n"
                              "VBR=0\n"
                              "MinBitRate=32\n"
                              "MaxBitRate=320\n"
                              "VBRQuality=0\n"
                              "[WMA Settings]\n"
                              "WMA=0\n"
                              "WMARate=128\n"
                              "[OGG Settings]\n"
                              "OGG=0\n"
                              "OggRate=128\n"
                              "Quality Mode=0\n"
                              "OggQuality=5\n"
                              "[Recent Folders]\n"
                              "Folder1=/home/me/Music\n"
                              "Folder2=\n"
                              "Folder3=/tmp/a b\n"
                              "Folder4=\n"
                              "[Settings]\n"
                              "Sort=1\n"
                              "File List=1\n"
                              "Clipping Detection=1\n"
                              "Split Channels=1\n"
                              "Image1=\n"
                              "Image2=/pics/stream.jpg\n"
                              "[Colors]\n"
                              "Left=16711680\n"
                              "Right=65535\n"
                              "Background=8453888\n"
                              "[Desktop]\n"
                              "KeysNoticeShown=1\n"
                              "[FLAC Settings]\n"
                              "FLAC=0\n"
                              "FlacLevel=8\n"
                              "[Opus Settings]\n"
                              "Opus=0\n"
                              "OpusRate=128\n"
                              "[Schedule]\n"
                              "Enabled=0\n"
                              "StartAt=2026-12-08 14:00:00\n"
                              "Duration=3600\n"
                              "Daily=0\n"
                              "[Voice Activation]\n"
                              "Mode=0\n"
                              "Threshold=-30\n"
                              "PreRoll=2000\n"
                              "HangTime=5000\n"
                              "[Split]\n"
                              "Minutes=0\n"
                              "Megabytes=650\n"
                              "[Names]\n"
                              "Template=%Y-%m-%d %H-%M-%S\n");
    RecordingSettings back;
    ReadSettingsFile(path, back, ".");
    EXPECT_TRUE(profile_properties::SameRecord(back, s));
}

TEST(SettingsFile, AHandEditedFileKeepsEverythingButOurValues) {
    const std::string path = test_paths::FreshDir("settings_edited") + "/Sonvera.ini";
    std::ofstream(path, std::ios::binary) << "; my settings\r\n"
                                             "[folder]\r\n"
                                             "name = /old\r\n"
                                             "\r\n"
                                             "[Record Settings]\r\n"
                                             "MP3=1\r\n"
                                             "Extra=keep me\r\n"
                                             "\x01\xff junk\r\n"
                                             "[Colors]\r\n"
                                             "Left=0xFF\r\n"
                                             "[Record Settings]\r\n"
                                             "Wav=1";
    RecordingSettings s;
    ReadSettingsFile(path, s, ".");
    EXPECT_FALSE(s.Wav); // the second "Record Settings" is never looked at
    s.OutputFolder = "/new";

    EXPECT_EQ(WriteSettingsFile(path, s, "."), std::nullopt);

    EXPECT_EQ(Contents(path), "; my settings\r\n"
                              "[folder]\r\n"
                              "name = /new\r\n"
                              "\r\n"
                              "[Record Settings]\r\n"
                              "MP3=1\r\n"
                              "Extra=keep me\r\n"
                              "\x01\xff junk\r\n"
                              "Wav=0\r\n"
                              "SamplesPerSecond=44100\r\n"
                              "BitsPerSample=16\r\n"
                              "Channels=2\r\n"
                              "BitRate=128\r\n"
                              "Mode=0\r\n"
                              "VBR=0\r\n"
                              "MinBitRate=32\r\n"
                              "MaxBitRate=320\r\n"
                              "VBRQuality=0\r\n"
                              "[Colors]\r\n"
                              "Left=255\r\n"
                              "Right=65535\r\n"
                              "Background=0\r\n"
                              "[Record Settings]\r\n"
                              "Wav=1\r\n"
                              "[WMA Settings]\r\n"
                              "WMA=0\r\n"
                              "WMARate=128\r\n"
                              "[OGG Settings]\r\n"
                              "OGG=0\r\n"
                              "OggRate=128\r\n"
                              "Quality Mode=0\r\n"
                              "OggQuality=0\r\n"
                              "[Recent Folders]\r\n"
                              "Folder1=\r\n"
                              "Folder2=\r\n"
                              "Folder3=\r\n"
                              "Folder4=\r\n"
                              "[Settings]\r\n"
                              "Sort=1\r\n"
                              "File List=1\r\n"
                              "Clipping Detection=1\r\n"
                              "Split Channels=1\r\n"
                              "Image1=\r\n"
                              "Image2=\r\n"
                              "[Desktop]\r\n"
                              "KeysNoticeShown=0\r\n"
                              "[FLAC Settings]\r\n"
                              "FLAC=0\r\n"
                              "FlacLevel=5\r\n"
                              "[Opus Settings]\r\n"
                              "Opus=0\r\n"
                              "OpusRate=64\r\n"
                              "[Schedule]\r\n"
                              "Enabled=0\r\n"
                              "StartAt=\r\n"
                              "Duration=0\r\n"
                              "Daily=0\r\n"
                              "[Voice Activation]\r\n"
                              "Mode=0\r\n"
                              "Threshold=-30\r\n"
                              "PreRoll=2000\r\n"
                              "HangTime=5000\r\n"
                              "[Split]\r\n"
                              "Minutes=0\r\n"
                              "Megabytes=0\r\n"
                              "[Names]\r\n"
                              "Template=\r\n");
}

TEST(SettingsFile, ComesBackAsWritten) {
    std::mt19937 random(31);
    auto number = [&] { return static_cast<std::int32_t>(random()); };
    auto text = [&] {
        std::string t = "/";
        for (int n = static_cast<int>(random() % 40); n > 0; --n)
            t += static_cast<char>(' ' + random() % 95);
        return t + "x";
    };
    for (int round = 0; round < 200; ++round) {
        RecordingSettings s;
        s.OutputFolder = text();
        s.Wav = random() % 2;
        s.MP3 = random() % 2;
        s.WMA = random() % 2;
        s.OGG = random() % 2;
        s.SamplesPerSecond = random();
        s.BitsPerSample = static_cast<std::uint16_t>(random());
        s.Channels = number();
        s.BitRate = number();
        s.Mode = number();
        s.VBR = random() % 2;
        s.MinBitRate = number();
        s.MaxBitRate = number();
        s.VBRQuality = number();
        s.WMARate = number();
        s.OggRate = number();
        s.QualityMode = random() % 2;
        s.OggQuality = round % 2 ? static_cast<float>(random() % 11)
                                 : std::ldexp(static_cast<float>(number()), -(round % 60));
        s.RecentFolders = {text(), text(), "", text()};
        s.Sort = number();
        s.FileList = random() % 2;
        s.ClippingDetection = random() % 2;
        s.SplitChannels = random() % 2;
        s.Image1 = text();
        s.Image2 = "";
        s.LeftColor = random();
        s.RightColor = random();
        s.BackgroundColor = random();
        s.KeysNoticeShown = random() % 2;
        s.FLAC = random() % 2;
        s.FlacLevel = number();
        s.Opus = random() % 2;
        s.OpusRate = number();
        const char* separator = round % 3 ? "." : ",";

        platform::Profile profile;
        ASSERT_TRUE(WriteSettings(profile, s, separator));
        RecordingSettings back;
        ReadSettings(platform::Profile(profile.Text()), back, separator);
        ASSERT_TRUE(profile_properties::SameRecord(back, s)) << profile.Text();
    }
}

TEST(SettingsFile, AValueThatCannotBeWrittenStopsTheWriteThere) {
    const std::string path = test_paths::FreshDir("settings_stop") + "/Sonvera.ini";
    RecordingSettings s;
    s.RecentFolders = {"/a", "/b\n[Colors]\nLeft=1", "/c", "/d"};

    EXPECT_EQ(WriteSettingsFile(path, s, "."), "Unable to write to " + path);

    const std::string written = Contents(path);
    EXPECT_TRUE(written.ends_with("[Recent Folders]\nFolder1=/a\n")) << written;
    EXPECT_EQ(written.find("[Settings]"), std::string::npos);
}

TEST(SettingsFile, AFileThatCannotBeReplacedIsReportedAndLeftAlone) {
    const std::string dir = test_paths::FreshDir("settings_unwritable");
    const RecordingSettings s;
    EXPECT_EQ(WriteSettingsFile(dir + "/missing/Sonvera.ini", s, "."),
              "Unable to write to " + dir + "/missing/Sonvera.ini");
    // Something that is not a settings file is not replaced by one.
    fs::create_directory(dir + "/Sonvera.ini");
    EXPECT_EQ(WriteSettingsFile(dir + "/Sonvera.ini", s, "."),
              "Unable to write to " + dir + "/Sonvera.ini");
    EXPECT_TRUE(fs::is_directory(dir + "/Sonvera.ini"));
}

} // namespace
