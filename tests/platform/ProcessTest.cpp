#include "platform/Process.h"

#include "TestPaths.h"

#include <cerrno>
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
