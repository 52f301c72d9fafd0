// Every test program runs against the private sound server and, for windows, offscreen.

#include "TestPaths.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string pulse = SONVERA_TEST_PULSE_DIR;
    setenv("PULSE_SERVER", ("unix:" + pulse + "/native").c_str(), 1);
    setenv("PULSE_COOKIE", (pulse + "/cookie").c_str(), 1);
    const std::string runtime = test_paths::RunDir() + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // What the program keeps between runs (durations) stays with the tests.
    setenv("XDG_CACHE_HOME", (test_paths::RunDir() + "/cache").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
