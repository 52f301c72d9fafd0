#pragma once
// Where the tests find their data and leave their files.

#include <string>

namespace test_paths {

// The checked-in test data folder (tests/data).
std::string DataDir();
// The folder of this run's files: one per test when CTest runs them one by one (it passes each
// its own filter), so tests running side by side never share a file.
std::string RunDir();
// A fresh, empty folder under the run's folder for one test's files.
std::string FreshDir(const std::string& name);
// The build folder, where the programs are.
std::string BinaryDir();
// The private sound server's folder (its socket, cookie and pid files).
std::string PulseDir();

} // namespace test_paths
