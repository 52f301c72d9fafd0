#pragma once
// SIGTERM and SIGINT turned into a call on the window thread, so that a logout or a kill
// closes the program the orderly way instead of dropping a recording.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace platform {

// While an instance lives, SIGTERM and SIGINT run `onSignal` from the event loop. One
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
