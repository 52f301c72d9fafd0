#pragma once
// For tests that run the real program: a folder of the test's own for the program and its
// settings, the recordings folder inside it, and a virtual display.

#include "Desktop.h"
#include "TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace e2e {

class ProgramFixture : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("e2e_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string output = folder + "/recordings";
    VirtualDisplay display;

    void SetUp() override { std::filesystem::create_directories(output); }
};

} // namespace e2e
