#include "library/RecentFolders.h"

#include "TestPaths.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using Folders = std::array<std::string, 4>;

struct RecentCase {
    const char* what;
    Folders before;
    std::string previous, output;
    Folders after;
};

void PrintTo(const RecentCase& c, std::ostream* os) {
    *os << c.what;
}

class RecentFolderUpdate : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentFolderUpdate, DropsInsertsAndClosesGapsInOnePass) {
    const RecentCase& c = GetParam();
    RecordingSettings settings;
    settings.RecentFolders = c.before;
    settings.OutputFolder = c.output;
    LibraryState state;
    state.PreviousFolder = c.previous;
    UpdateRecentFolders(settings, state);
    EXPECT_EQ(settings.RecentFolders, c.after);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(state.RecentCaptions[i],
                  c.after[i].empty() ? "" : std::to_string(i + 1) + ". " + c.after[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFolderUpdate,
    ::testing::Values(
        RecentCase{"ChosenRecentMovesOut", {"A", "B", "C", "D"}, "F", "B", {"F", "A", "C", "D"}},
        RecentCase{"NewFolderDropsTheOldest", {"A", "B", "C", "D"}, "F", "G", {"F", "A", "B", "C"}},
        RecentCase{"StartKeepsTheList", {"A", "", "B", "F"}, "F", "F", {"A", "B", "", ""}},
        RecentCase{"OnePassLeavesAGap", {"", "", "X", "Y"}, "Z", "Z", {"", "X", "Y", ""}},
        RecentCase{"MissingFolderRemoved", {"A", "", "C", "D"}, "", "F", {"A", "C", "D", ""}},
        RecentCase{"BackToTheFolderLeft", {"B", "", "", ""}, "A", "B", {"A", "", "", ""}},
        RecentCase{"ExactTextOnly", {"/a/", "/A", "", ""}, "/a", "/b", {"/a", "/a/", "/A", ""}}),
    [](const auto& info) { return std::string(info.param.what); });

// The music folder comes from the user's XDG folder list, pointed here at a test folder.
class SettleFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        savedConfig = config ? std::optional<std::string>(config) : std::nullopt;
        savedCurrent = QDir::currentPath().toStdString();
        configDir = test_paths::FreshDir("settle_config");
        setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
    }
    void TearDown() override {
        if (savedConfig) {
            setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        QDir::setCurrent(QString::fromStdString(savedCurrent));
    }
    void MusicFolderIs(const std::string& path) {
        std::ofstream(configDir + "/user-dirs.dirs") << "XDG_MUSIC_DIR=\"" << path << "\"\n";
    }

    std::optional<std::string> savedConfig;
    std::string savedCurrent;
    std::string configDir;
};

TEST_F(SettleFolder, ExistingFolderStaysAndBecomesTheWorkingFolder) {
    const std::string folder = test_paths::FreshDir("settle_existing");
    RecordingSettings settings;
    settings.OutputFolder = folder;
    settings.RecentFolders = {folder, "/x", "", ""};
    LibraryState state;
    std::string error;
    platform::TimedPathLookup look;
    ASSERT_TRUE(SettleOutputFolder(settings, state, error, look));
    EXPECT_EQ(settings.OutputFolder, folder);
    EXPECT_EQ(state.PreviousFolder, folder);
    EXPECT_EQ(QDir::currentPath().toStdString(), std::filesystem::canonical(folder).string());
    EXPECT_EQ(settings.RecentFolders, (Folders{"/x", "", "", ""}));
    EXPECT_EQ(state.RecentCaptions[0], "1. /x");
}

TEST_F(SettleFolder, MissingFolderFallsBackToTheMusicFolderCreatedWhenMissing) {
    const std::string music = test_paths::FreshDir("settle_music") + "/My Music";
    MusicFolderIs(music);
    RecordingSettings settings; // "C:\", which never exists here
    LibraryState state;
    std::string error;
    platform::TimedPathLookup look;
    ASSERT_TRUE(SettleOutputFolder(settings, state, error, look));
    EXPECT_EQ(settings.OutputFolder, music);
    EXPECT_TRUE(std::filesystem::is_directory(music));
    EXPECT_EQ(state.PreviousFolder, music);
}

TEST_F(SettleFolder, UncreatableFolderIsReported) {
    const std::string blocked = test_paths::FreshDir("settle_blocked") + "/file";
    std::ofstream(blocked) << "not a folder";
    MusicFolderIs(blocked + "/Music");
    RecordingSettings settings;
    settings.OutputFolder = "/nonexistent/sonvera";
    LibraryState state;
    std::string error;
    platform::TimedPathLookup look;
    EXPECT_FALSE(SettleOutputFolder(settings, state, error, look));
    EXPECT_EQ(error, "Can not create " + blocked + "/Music");
    EXPECT_EQ(state.PreviousFolder, "");
}

} // namespace
