#pragma once
// The processes this test started, found by the name they run under.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// The pids of our living children running one of `names`. Each process is read once, so one that
// changes its name in between (a script that execs) is not counted twice.
inline std::vector<pid_t> ChildProcesses(const std::vector<std::string>& names) {
    std::vector<pid_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream file("/proc/" + pid + "/stat");
        const std::string stat{std::istreambuf_iterator<char>(file), {}};
        const auto open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(close + 2));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        const std::string name = stat.substr(open + 1, close - open - 1);
        if (std::find(names.begin(), names.end(), name) != names.end() && parent == getpid() &&
            state != "Z")
            pids.push_back(std::stoi(pid));
    }
    return pids;
}
