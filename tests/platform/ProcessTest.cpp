#include "platform/Process.h"

#include "TestPaths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace std::chrono_literals;

TEST(Process, MissingProgramFailsAtOnceWithENOENT) {
    platform::ChildProcess child;
    EXPECT_EQ(platform::StartWithStdinPipe({"sonvera-no-such-encoder.exe", "-"}, child), ENOENT);
    EXPECT_EQ(child.Pid, -1);
    EXPECT_EQ(platform::StartWithStdinPipe({}, child), ENOENT);
}

TEST(Process, FeedsStandardInputAndFindsTheProgramWithoutExe) {
    // tee writes its standard input to the file named by its one argument, untouched.
    const std::string path = test_paths::FreshDir("process_feed") + "/out put \"x\".bin";
    platform::ChildProcess child;
    ASSERT_EQ(platform::StartWithStdinPipe({"tee.exe", path}, child), 0);
    std::string sent;
    for (int i = 0; i < 100000; ++i)
        sent += static_cast<char>(i * 7);
    EXPECT_EQ(platform::WriteToChild(child.StdinFd, sent.data(), sent.size()), 0);
    platform::CloseChildInput(child);
    ASSERT_TRUE(platform::WaitForChild(child, 10s));
    std::stringstream got;
    got << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(got.str(), sent);
}

TEST(Process, WritingToAChildThatEndedGivesEPIPE) {
    platform::ChildProcess child;
    ASSERT_EQ(platform::StartWithStdinPipe({"true"}, child), 0);
    const int fd = child.StdinFd;
    ASSERT_TRUE(platform::WaitForChild(child, 10s));
    const char bytes[16] = {};
    EXPECT_EQ(platform::WriteToChild(fd, bytes, sizeof bytes), EPIPE);
    platform::CloseChildInput(child);
}

TEST(Process, AChildThatDoesNotEndIsKilled) {
    platform::ChildProcess child;
    ASSERT_EQ(platform::StartWithStdinPipe({"sleep", "100"}, child), 0);
    EXPECT_FALSE(platform::WaitForChild(child, 50ms));
    platform::KillChild(child);
    EXPECT_EQ(child.Pid, -1);
    platform::CloseChildInput(child);
}

// The encoders run while the current folder is the output folder. A program of the encoder's
// name lying there must never run, whatever empty or relative elements PATH holds; the one in
// PATH's absolute folder does.
struct PathCase {
    const char* name;
    const char* path; // "{bin}" stands for the absolute folder with the real program
};
void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.name;
}

class ProcessPath : public ::testing::TestWithParam<PathCase> {
protected:
    void SetUp() override {
        savedPath = std::getenv("PATH");
        savedFolder = std::filesystem::current_path();
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        std::filesystem::current_path(savedFolder);
    }
    std::string savedPath;
    std::filesystem::path savedFolder;
};

TEST_P(ProcessPath, AProgramInTheCurrentFolderIsNeverRun) {
    const std::string dir = test_paths::FreshDir(std::string("process_path_") + GetParam().name);
    for (const char* where : {"here", "bin"}) {
        std::filesystem::create_directories(dir + "/" + where);
        const std::string program = dir + "/" + where + "/sonvera-test-encoder";
        std::ofstream(program) << "#!/bin/sh\necho " << where << " > \"$1\"\n";
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    }
    std::string path = GetParam().path;
    if (const auto at = path.find("{bin}"); at != std::string::npos)
        path.replace(at, 5, dir + "/bin");
    setenv("PATH", path.c_str(), 1);
    std::filesystem::current_path(dir + "/here");

    const std::string marker = dir + "/ran";
    platform::ChildProcess child;
    const int result = platform::StartWithStdinPipe({"sonvera-test-encoder.exe", marker}, child);
    if (result == 0) {
        platform::CloseChildInput(child);
        ASSERT_TRUE(platform::WaitForChild(child, 10s));
    }
    std::stringstream ran;
    ran << std::ifstream(marker).rdbuf();
    if (path.find(dir + "/bin") != std::string::npos) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ran.str(), "bin\n");
    } else {
        EXPECT_EQ(result, ENOENT);
        EXPECT_EQ(ran.str(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Elements, ProcessPath,
                         ::testing::Values(PathCase{"EmptyFirst", ":{bin}"},
                                           PathCase{"DotFirst", ".:{bin}"},
                                           PathCase{"RelativeFirst", "../here:{bin}"},
                                           PathCase{"EmptyLast", "{bin}:"},
                                           PathCase{"OnlyTheCurrentFolder", "::.:../here"}),
                         [](const auto& info) { return std::string(info.param.name); });
