#include "TestPaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

namespace test_paths {

std::string DataDir() {
    return SONVERA_TEST_SOURCE_DIR "/data";
}

std::string RunDir() {
    std::string name = ::testing::GTEST_FLAG(filter);
    if (name == "*")
        name = "all";
    std::replace_if(
        name.begin(), name.end(),
        [](unsigned char c) { return !std::isalnum(c) && c != '.' && c != '-' && c != '_'; }, '_');
    // A file name's limit; longer filters are rare and hand-made.
    name.resize(std::min<std::size_t>(name.size(), 200));
    return (std::filesystem::path(SONVERA_TEST_OUTPUT_DIR) / name).string();
}

std::string FreshDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(RunDir()) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string BinaryDir() {
    return SONVERA_BINARY_DIR;
}

std::string PulseDir() {
    return SONVERA_TEST_PULSE_DIR;
}

} // namespace test_paths
