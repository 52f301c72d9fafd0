#include "platform/Process.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
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

} // namespace

int StartWithStdinPipe(const std::vector<std::string>& arguments, ChildProcess& child) {
    if (arguments.empty() || arguments[0].empty())
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

    // The child gets the default SIGPIPE back and no blocked signals of ours.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    const std::string program = ProgramName(arguments[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (std::size_t i = 1; i < arguments.size(); ++i)
        argv.push_back(const_cast<char*>(arguments[i].c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int result =
        posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
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
