#pragma once
// The terminating signals turned into a call on the window thread, so that a logout, a kill,
// Ctrl-C or a closed terminal closes the program the orderly way instead of dropping a recording.

#include <QObject>
#include <array>
#include <csignal>
#include <functional>

class QSocketNotifier;

namespace platform {

// What ends a program from outside: a kill or a session's end (SIGTERM), and from the terminal
// Ctrl-C, Ctrl-\ and its closing (SIGINT, SIGQUIT, SIGHUP). The last three go to the whole
// foreground process group, a kill may go to a group or a session.
inline constexpr std::array<int, 4> TerminatingSignals = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// While an instance lives, each of the TerminatingSignals runs `onSignal` from the event loop. One
// instance at a time: the handler writes to the pipe of the latest one.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;

private:
    void Drain();

    std::function<void()> onSignal_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace platform
