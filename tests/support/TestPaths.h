#pragma once
// Where the tests find their data and leave their files.

#include <string>

namespace test_paths {

// The checked-in test data folder (tests/data).
std::string DataDir();
// A fresh, empty folder under the build tree for one test's files.
std::string FreshDir(const std::string& name);
// The build folder, where the programs are.
std::string BinaryDir();
// The private sound server's folder (its socket, cookie and pid files).
std::string PulseDir();

} // namespace test_paths
