#include "TestPaths.h"

#include <filesystem>

namespace test_paths {

std::string DataDir() {
    return SONVERA_TEST_SOURCE_DIR "/data";
}

std::string FreshDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(SONVERA_TEST_OUTPUT_DIR) / name;
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
