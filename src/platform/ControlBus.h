#pragma once
// The program's interface on the session bus: io.github.sonvera.Sonvera at
// /io/github/sonvera/Sonvera offers Record, PauseResume, Stop and Marker (F5, F7, F9, F8) and the
// state as properties, so a key bound in the desktop's own settings can drive the program.
// Without a session bus, or when another instance owns the name, the program runs without it.

#include <QObject>
#include <QString>
#include <functional>

namespace platform {

struct ControlState {
    bool Recording = false;
    bool Paused = false;
    bool Playing = false;
    QString CurrentFile;
    quint32 ElapsedMs = 0;

    bool operator==(const ControlState&) const = default;
};

class ControlBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.sonvera.Sonvera")
    Q_PROPERTY(bool Recording READ Recording)
    Q_PROPERTY(bool Paused READ Paused)
    Q_PROPERTY(bool Playing READ Playing)
    Q_PROPERTY(QString CurrentFile READ CurrentFile)
    // Read when wanted: it changes every tick, so PropertiesChanged leaves it out.
    Q_PROPERTY(uint Elapsed READ Elapsed)

public:
    struct Actions {
        std::function<void()> record, pauseResume, stop;
        std::function<ControlState()> state;
        std::function<void()> marker;
    };
    explicit ControlBus(Actions actions);
    ~ControlBus() override;

    // Takes the name on the session bus; false when there is no bus or the name is taken.
    bool Start();
    // Tells the bus which properties changed since the last call (Elapsed excepted).
    void Publish();

    bool Recording() const { return actions_.state().Recording; }
    bool Paused() const { return actions_.state().Paused; }
    bool Playing() const { return actions_.state().Playing; }
    QString CurrentFile() const { return actions_.state().CurrentFile; }
    uint Elapsed() const { return actions_.state().ElapsedMs; }

public slots:
    void Record();
    void PauseResume();
    void Stop();
    void Marker();

private:
    Actions actions_;
    ControlState published_;
    bool started_ = false;
};

} // namespace platform
