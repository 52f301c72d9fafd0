#include "library/FolderScan.h"

#include "TestPaths.h"
#include "library/Durations.h"
#include "library/FileSort.h"
#include "library/RecordNames.h"
#include "platform/DateTimeText.h"

#include <QDate>
#include <QLocale>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

void WriteBytes(const std::string& path, std::size_t size, char fill = 'x') {
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

void Put32(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

// A PCM WAV file: 44-byte header stating `dataBytes`, followed by `written` bytes of a tone.
void WriteWav(const std::string& path, std::uint32_t rate, std::uint16_t channels,
              std::uint16_t bits, std::uint32_t dataBytes, std::uint32_t written) {
    std::string bytes = "RIFF";
    Put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    Put32(bytes, 16);
    const std::uint16_t align = channels * bits / 8;
    bytes += std::string{1, 0};
    bytes += std::string{static_cast<char>(channels), 0};
    Put32(bytes, rate);
    Put32(bytes, rate * align);
    bytes += std::string{static_cast<char>(align), 0, static_cast<char>(bits), 0};
    bytes += "data";
    Put32(bytes, dataBytes);
    for (std::uint32_t i = 0; i < written; ++i) {
        bytes += static_cast<char>((i / 8) % 2 ? 0x60 : 0xA0);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// Gives the file a modification time `seconds` ago.
void Age(const std::string& path, int seconds) {
    const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(seconds);
    fs::last_write_time(path, when);
}

void RunCommand(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

const ListEntry* Find(const LibraryState& state, const std::string& name) {
    for (const ListEntry& entry : state.Entries) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

TEST(FolderScan, EmptyFolderShowsOneEmptyRowWithoutSelection) {
    const std::string folder = test_paths::FreshDir("scan_empty");
    LibraryState state;
    state.Grid.SelectedRow = 3;
    ScanOutputFolder(folder, state);
    SortFileList(1, "", state);
    EXPECT_TRUE(state.Entries.empty());
    EXPECT_EQ(state.Grid.RowCount, 2);
    EXPECT_EQ(state.Grid.Cells[1], GridRow{});
    EXPECT_EQ(state.Grid.SelectedRow, -1);
}

TEST(FolderScan, MissingFolderGivesAnEmptyList) {
    LibraryState state;
    ScanOutputFolder(test_paths::FreshDir("scan_missing") + "/nowhere", state);
    EXPECT_TRUE(state.Entries.empty());
    EXPECT_EQ(state.Grid.RowCount, 2);
}

TEST(FolderScan, ListsRecordingKindsOnlyAndDeletesEmptyOnes) {
    const std::string folder = test_paths::FreshDir("scan_kinds");
    WriteBytes(folder + "/record001.wav", 44);
    WriteBytes(folder + "/record002.mp3", 10000);
    WriteBytes(folder + "/notes.txt", 10);
    WriteBytes(folder + "/RECORD003.OGG", 1536);
    WriteBytes(folder + "/record003.ogg.bak", 2000);
    WriteBytes(folder + "/small.wma", 49);
    WriteBytes(folder + "/enough.wma", 50);
    WriteBytes(folder + "/small.flac", 49);
    WriteBytes(folder + "/small.opus", 20);
    WriteBytes(folder + "/enough.opus", 5000);
    WriteBytes(folder + "/.hidden.wav", 5000);
    WriteBytes(folder + "/tiny.txt", 3);
    fs::create_directory(folder + "/folder.wav");
    for (const char* leftover :
         {"record001.wav", "small.wma", "small.flac", "small.opus", "tiny.txt"})
        Age(folder + "/" + leftover, 3600);
    LibraryState state;
    ScanOutputFolder(folder, state);

    std::vector<std::string> names;
    for (const ListEntry& entry : state.Entries) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.path, folder + "/" + entry.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"RECORD003.OGG", "enough.opus", "enough.wma",
                                               "record002.mp3"}));
    for (const char* leftover : {"record001.wav", "small.wma", "small.flac", "small.opus"})
        EXPECT_FALSE(fs::exists(folder + "/" + leftover)) << leftover;
    for (const char* kept : {"notes.txt", "tiny.txt", "record003.ogg.bak", ".hidden.wav"}) {
        EXPECT_TRUE(fs::exists(folder + "/" + kept)) << kept;
    }
    EXPECT_EQ(Find(state, "record002.mp3")->sizeText, "10");
    EXPECT_EQ(Find(state, "RECORD003.OGG")->sizeText, "2");
    EXPECT_EQ(Find(state, "enough.wma")->sizeText, "0");
    EXPECT_EQ(state.Grid.RowCount, 5);
}

// A small file is deleted only as the leftover of a crash: never one a writer of this program
// holds, nor one changed within the last minute that another instance may be writing.
TEST(FolderScan, SmallFilesAreDeletedOnlyWhenNoOneMayStillWriteThem) {
    const std::string folder = test_paths::FreshDir("scan_small");
    struct Case {
        const char* name;
        std::size_t size;
        int ageSeconds;
        bool held;
        bool kept;
    };
    const Case cases[] = {
        {"held.wma", 0, 3600, true, true},      // an encoder still finishing it
        {"heldwav.wav", 44, 3600, true, true},  // a WAV recording just begun
        {"recent.mp3", 0, 5, false, true},      // another instance's, maybe
        {"almostold.wav", 44, 50, false, true}, // still within the minute
        {"leftover.wav", 44, 70, false, false}, // a crash's, a minute on
        {"oldleftover.ogg", 0, 86400, false, false}, {"normal.wav", 5000, 86400, false, true},
        {"normalheld.mp3", 5000, 0, true, true},
    };
    std::vector<std::string> held;
    for (const Case& c : cases) {
        const std::string path = folder + "/" + c.name;
        WriteBytes(path, c.size);
        Age(path, c.ageSeconds);
        // Spelt as the writer was given it, not necessarily as the scan builds it.
        if (c.held)
            held.push_back(folder + "/./" + c.name);
    }
    LibraryState state;
    ScanOutputFolder(folder, state, held);

    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(folder + "/" + c.name), c.kept) << c.name;
        const ListEntry* entry = Find(state, c.name);
        EXPECT_EQ(entry != nullptr, c.kept) << c.name << " is listed as it is";
    }
}

// Time stamps are local wall-clock time in two-second steps; the zone is fixed for the test.
TEST(FolderScan, TimeStampsInLocalTimeAtTwoSeconds) {
    const char* oldZone = std::getenv("TZ");
    const std::string savedZone = oldZone ? oldZone : "";
    setenv("TZ", "CET-1", 1);
    tzset();
    const std::string folder = test_paths::FreshDir("scan_times");
    const std::time_t written = 1'700'000'001; // 2023-11-14 22:13:21 UTC
    for (const char* name : {"odd.wav", "even.wav"}) {
        WriteBytes(folder + "/" + name, 100);
        const timespec times[2] = {{written, 0}, {written - (name[0] == 'e'), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (folder + "/" + name).c_str(), times, 0), 0);
    }
    LibraryState state;
    ScanOutputFolder(folder, state);
    if (oldZone) {
        setenv("TZ", savedZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();

    const std::int64_t local = written - 1 + 3600; // 23:13:20 on the wall
    ASSERT_EQ(state.Entries.size(), 2u);
    for (const ListEntry& entry : state.Entries) {
        EXPECT_EQ(entry.timeStamp, local) << entry.name;
        const std::string date =
            QLocale::system().toString(QDate(2023, 11, 14), QLocale::ShortFormat).toStdString();
        EXPECT_EQ(entry.dateTimeText.rfind(date, 0), 0u) << entry.dateTimeText;
        EXPECT_NE(entry.dateTimeText.find(platform::LongTimeText(local)), std::string::npos);
    }
}

// Real files of every kind through the audio library, and damaged ones beside them.
TEST(FolderScan, DurationsOfRealAndDamagedRecordings) {
    const std::string folder = test_paths::FreshDir("scan_durations");
    const std::string source = test_paths::FreshDir("scan_durations_source") + "/tone.wav";
    WriteWav(source, 44100, 2, 16, 3 * 44100 * 4, 3 * 44100 * 4);
    RunCommand("lame --quiet " + source + " " + folder + "/three.mp3");
    RunCommand("oggenc --quiet " + source + " -o " + folder + "/three.ogg");
    RunCommand("ffmpeg -v error -i " + source + " -c:a wmav2 " + folder + "/three.wma");
    RunCommand("ffmpeg -v error -i " + source + " -c:a flac " + folder + "/three.flac");
    RunCommand("ffmpeg -v error -i " + source + " -c:a libopus " + folder + "/three.opus");
    // 187 s of 8-bit mono at 8000 Hz.
    WriteWav(folder + "/long.wav", 8000, 1, 8, 187 * 8000, 187 * 8000);
    // A header that promises far more than the file holds.
    WriteWav(folder + "/cut.wav", 44100, 2, 16, 400'000'000, 44100 * 4);
    WriteBytes(folder + "/noise.wav", 5000, '\x5a');
    WriteBytes(folder + "/noise.ogg", 5000, '\x01');
    const auto mp3Size = fs::file_size(folder + "/three.mp3");
    fs::copy_file(folder + "/three.mp3", folder + "/half.mp3");
    fs::resize_file(folder + "/half.mp3", mp3Size / 2);
    fs::copy_file(folder + "/three.ogg", folder + "/half.ogg");
    fs::resize_file(folder + "/half.ogg", fs::file_size(folder + "/three.ogg") / 2);

    LibraryState state;
    ScanOutputFolder(folder, state);
    ProbeDurationsNow(state);
    ASSERT_EQ(state.Entries.size(), 11u);
    for (const char* name : {"three.mp3", "three.ogg", "three.wma", "three.flac", "three.opus"}) {
        EXPECT_EQ(Find(state, name)->durationText, "00:00:03") << name;
    }
    EXPECT_EQ(Find(state, "long.wav")->durationText, "00:03:07");
    EXPECT_EQ(Find(state, "noise.wav")->durationText, "00:00:00");
    EXPECT_EQ(Find(state, "noise.ogg")->durationText, "00:00:00");
    for (const char* name : {"cut.wav", "half.mp3", "half.ogg"}) {
        const std::string text = Find(state, name)->durationText;
        EXPECT_EQ(text.size(), 8u) << name;
        EXPECT_LE(text, "00:00:03") << name;
    }
}

// A folder text ending in its separator (a drive root) gives paths with two separators, built
// the same way for the new recording and its list entry, so the row is found again.
TEST(FolderScan, NewRecordingsRowIsSelectedEvenUnderARootLikeFolder) {
    const std::string folder = test_paths::FreshDir("scan_root") + "/";
    RecordingSettings settings;
    settings.OutputFolder = folder;
    settings.MP3 = false;
    settings.OGG = true;
    LibraryState state;
    WriteBytes(folder + "record001.ogg", 3000);
    platform::TimedPathLookup look;
    ASSERT_EQ(MakeNextRecordFileName(settings, state, look), NamePick::Picked);
    EXPECT_EQ(state.CurrentFile, folder + "/record002.ogg");
    WriteBytes(state.CurrentFile, 2000);
    ScanOutputFolder(settings.OutputFolder, state);
    for (int order = 1; order <= 8; ++order) {
        SortFileList(order, state.CurrentFile, state);
        ASSERT_NE(state.Grid.SelectedRow, -1);
        EXPECT_EQ(state.Grid.RowPaths[state.Grid.SelectedRow], state.CurrentFile);
        EXPECT_EQ(state.Grid.Cells[state.Grid.SelectedRow][0], "        record002.ogg");
    }
}

} // namespace
