// The real vstoreclean run with prepared environments: it deletes the per-user settings copy and
// nothing else, leaves the copy beside the program alone, and always ends with status 0.

#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

// Runs `program` in `folder` with exactly `environment`; returns its exit status, or -1 when it
// did not exit normally.
int RunIn(const std::string& program, const std::string& folder,
          const std::vector<std::string>& environment) {
    std::vector<char*> envp;
    for (const std::string& setting : environment)
        envp.push_back(const_cast<char*>(setting.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -2;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Program() {
    return test_paths::BinaryDir() + "/vstoreclean";
}

void Touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "[Folder]\nName=/tmp\n";
}

class CleanupTest : public ::testing::Test {
protected:
    std::string dir = test_paths::FreshDir(
        std::string("cleanup_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(CleanupTest, OneRunDeletesThePerUserCopyASecondChangesNothing) {
    struct Case {
        const char* what;
        std::vector<std::string> environment;
        std::string copy;
    };
    const std::string home = dir + "/home";
    const std::vector<Case> cases = {
        {"config folder set",
         {"HOME=" + home, "XDG_CONFIG_HOME=" + dir + "/cfg"},
         dir + "/cfg/Sonvera/Sonvera.ini"},
        {"config folder unset", {"HOME=" + home}, home + "/.config/Sonvera/Sonvera.ini"},
        {"config folder empty",
         {"HOME=" + home, "XDG_CONFIG_HOME="},
         home + "/.config/Sonvera/Sonvera.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Touch(c.copy);
        const fs::path folder = fs::path(c.copy).parent_path();
        Touch(folder / "other.ini");
        Touch(home + "/Sonvera.ini"); // a look-alike elsewhere stays

        ASSERT_EQ(RunIn(Program(), dir, c.environment), 0);
        EXPECT_FALSE(fs::exists(c.copy));
        EXPECT_TRUE(fs::exists(folder / "other.ini"));
        EXPECT_TRUE(fs::exists(home + "/Sonvera.ini"));

        ASSERT_EQ(RunIn(Program(), dir, c.environment), 0);
        EXPECT_FALSE(fs::exists(c.copy));
        EXPECT_TRUE(fs::exists(folder / "other.ini")) << "the folder and its other files stay";
        fs::remove_all(folder);
    }
}

TEST_F(CleanupTest, TheCopyBesideTheProgramIsNeverTouched) {
    // Installed beside the recorder, with its settings file next to both.
    const std::string installed = dir + "/bin";
    fs::create_directories(installed);
    fs::copy_file(Program(), installed + "/vstoreclean");
    Touch(installed + "/Sonvera.ini");
    Touch(dir + "/cfg/Sonvera/Sonvera.ini");
    ASSERT_EQ(RunIn(installed + "/vstoreclean", dir, {"XDG_CONFIG_HOME=" + dir + "/cfg"}), 0);
    EXPECT_TRUE(fs::exists(installed + "/Sonvera.ini"));
    EXPECT_FALSE(fs::exists(dir + "/cfg/Sonvera/Sonvera.ini"));

    // Even where the per-user folder is the program's own folder.
    const std::string own = dir + "/own/Sonvera";
    fs::create_directories(own);
    fs::copy_file(Program(), own + "/vstoreclean");
    Touch(own + "/Sonvera.ini");
    ASSERT_EQ(RunIn(own + "/vstoreclean", dir, {"XDG_CONFIG_HOME=" + dir + "/own"}), 0);
    EXPECT_TRUE(fs::exists(own + "/Sonvera.ini"));
}

TEST_F(CleanupTest, NoUsableFolderEndsNormallyAndDeletesNothing) {
    // Files a relative or missing folder could be taken to mean, from the folder it starts in.
    for (const char* near : {"Sonvera/Sonvera.ini", ".config/Sonvera/Sonvera.ini",
                             "cfg/Sonvera/Sonvera.ini", "file/Sonvera/Sonvera.ini"})
        Touch(dir + "/" + near);
    Touch(dir + "/plain");
    fs::create_directories(dir + "/folder/Sonvera/Sonvera.ini");
    fs::create_directories(dir + "/locked/Sonvera");
    Touch(dir + "/locked/Sonvera/other");
    fs::permissions(dir + "/locked", fs::perms::none);

    const std::vector<std::vector<std::string>> environments = {
        {},
        {"HOME="},
        {"HOME=relative"},
        {"XDG_CONFIG_HOME=cfg"},
        {"XDG_CONFIG_HOME=" + dir + "/plain"},         // a file, not a folder
        {"XDG_CONFIG_HOME=" + dir + "/folder"},        // a folder named like the settings file
        {"XDG_CONFIG_HOME=" + dir + "/locked"},        // a folder no one may read
        {"XDG_CONFIG_HOME=" + std::string(5000, 'x')}, // longer than any path
    };
    for (const auto& environment : environments) {
        SCOPED_TRACE(environment.empty() ? "nothing set" : environment[0].substr(0, 60));
        EXPECT_EQ(RunIn(Program(), dir, environment), 0);
    }
    fs::permissions(dir + "/locked", fs::perms::owner_all);
    for (const char* near : {"Sonvera/Sonvera.ini", ".config/Sonvera/Sonvera.ini",
                             "cfg/Sonvera/Sonvera.ini", "file/Sonvera/Sonvera.ini"})
        EXPECT_TRUE(fs::exists(dir + "/" + near)) << near;
    EXPECT_TRUE(fs::is_directory(dir + "/folder/Sonvera/Sonvera.ini"));
    EXPECT_TRUE(fs::exists(dir + "/locked/Sonvera/other"));
}

} // namespace
