#include "platform/Process.h"

#include "platform/TerminationSignals.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

std::string ProgramName(const std::string& name) {
    const std::string exe = ".exe";
    const bool hasFolder = name.find('/') != std::string::npos;
    if (!hasFolder && name.size() > exe.size()) {
        std::string tail = name.substr(name.size() - exe.size());
        for (char& c : tail)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (tail == exe)
            return name.substr(0, name.size() - exe.size());
    }
    return name;
}

// A write into a pipe whose reader has gone must fail with EPIPE, not end the program.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

sigset_t TerminatingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int number : TerminatingSignals)
        sigaddset(&set, number);
    return set;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return name;
    std::string path;
    if (const char* variable = std::getenv("PATH")) {
        path = variable;
    } else if (const std::size_t size = confstr(_CS_PATH, nullptr, 0); size > 0) {
        path.resize(size);
        confstr(_CS_PATH, path.data(), size);
        path.pop_back(); // its terminating NUL
    }
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find(':', begin), path.size());
        const std::string folder = path.substr(begin, end - begin);
        begin = end + 1;
        // An empty or relative element means the current folder, which is the output folder:
        // what lies there is the user's files, never a program of ours.
        if (!folder.starts_with('/'))
            continue;
        const std::string candidate = folder + (folder.ends_with('/') ? "" : "/") + name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

int StartWithStdinPipe(const std::vector<std::string>& arguments, ChildProcess& child) {
    if (arguments.empty())
        return ENOENT;
    const std::string name = ProgramName(arguments[0]);
    const std::string program = FindProgram(name);
    if (program.empty())
        return ENOENT;
    IgnoreBrokenPipes();

    // Both ends close on exec, so no other child ever holds the write end open (the encoder
    // would then never see the end of its input); dup2 clears the flag on the child's stdin.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return errno;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Nothing else of ours reaches the child, even a descriptor a library left inheritable.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // The child gets the default SIGPIPE back. Only we decide when it ends: it runs in a process
    // group of its own, out of reach of the terminal's Ctrl-C, and with the terminating signals
    // blocked, so a kill of our whole group or session leaves it to finish its file once its
    // input ends (SIGKILL still ends it).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    const sigset_t blocked = TerminatingSignalSet();
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &blocked);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (std::size_t i = 1; i < arguments.size(); ++i)
        argv.push_back(const_cast<char*>(arguments[i].c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    if (result != 0) {
        close(fds[1]);
        return result;
    }
    child.Pid = pid;
    child.StdinFd = fds[1];
    return 0;
}

int WriteToChild(int fd, const void* data, std::size_t bytes) {
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, p, bytes);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return 0;
}

void CloseChildInput(ChildProcess& child) {
    if (child.StdinFd >= 0)
        close(child.StdinFd);
    child.StdinFd = -1;
}

bool WaitForChild(ChildProcess& child, std::chrono::milliseconds timeout) {
    if (child.Pid <= 0)
        return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t r = waitpid(child.Pid, &status, WNOHANG);
        if (r == child.Pid || (r < 0 && errno != EINTR)) {
            child.Pid = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void KillChild(ChildProcess& child) {
    if (child.Pid <= 0)
        return;
    kill(child.Pid, SIGKILL);
    int status = 0;
    while (waitpid(child.Pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.Pid = -1;
}

} // namespace platform
