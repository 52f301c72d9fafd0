#pragma once
// Child processes fed through a pipe on their standard input: the command-line encoders run
// this way. Programs are started directly (never through a shell) and looked up on PATH, in its
// absolute folders only: the current folder is the output folder.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct ChildProcess {
    int Pid = -1;
    int StdinFd = -1; // our end of the pipe to the child's standard input
};

// The program `name` as the system runs it: a name with a folder stays as it is, a bare name
// is looked up in the absolute folders of PATH (empty and relative elements are skipped).
// Empty when there is none.
std::string FindProgram(const std::string& name);

// Starts arguments[0] with the other arguments. A program named without a folder is found by
// FindProgram, and a trailing ".exe" is dropped, so "lame.exe" finds lame. The child's output
// and error output go to /dev/null. It runs in a process group of its own with SIGINT,
// SIGTERM, SIGHUP and SIGQUIT blocked: it ends when its input ends, or by KillChild. Returns 0, or
// the errno of the failure (ENOENT when the program does not exist); `child` is filled only on
// success. Broken pipes are reported as EPIPE by WriteToChild from then on, never as a signal.
int StartWithStdinPipe(const std::vector<std::string>& arguments, ChildProcess& child);

// Writes all bytes to the child's pipe, waiting while it is full. Returns 0 or the errno
// (EPIPE when the child has gone).
int WriteToChild(int fd, const void* data, std::size_t bytes);

// Closes our end of the child's standard input, which tells it the input has ended.
void CloseChildInput(ChildProcess& child);

// Waits up to `timeout` for the child to end. Returns true (and reaps it) when it has ended.
bool WaitForChild(ChildProcess& child, std::chrono::milliseconds timeout);

// Ends the child at once and reaps it.
void KillChild(ChildProcess& child);

} // namespace platform
