#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

volatile sig_atomic_t writeEnd = -1;

// Runs in signal context: only the async-signal-safe write.
void OnSignal(int number) {
    const char byte = static_cast<char>(number);
    if (writeEnd >= 0) {
        const ssize_t written = write(writeEnd, &byte, 1);
        static_cast<void>(written); // a full pipe already holds a pending close
    }
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal)) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : TerminatingSignals)
        sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (pipe_[0] < 0)
        return;
    for (const int number : TerminatingSignals)
        std::signal(number, SIG_DFL);
    writeEnd = -1;
    delete notifier_;
    close(pipe_[0]);
    close(pipe_[1]);
}

void TerminationSignals::Drain() {
    char bytes[16];
    bool any = false;
    while (read(pipe_[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any && onSignal_)
        onSignal_();
}

} // namespace platform
