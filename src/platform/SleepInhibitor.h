#pragma once
// Keeps the machine from sleeping while a recording runs: the desktop portal's Inhibit
// (suspend only; the screen may still lock), or logind's "sleep" lock on the system bus where
// there is no portal. Every call is asynchronous, so the window thread never waits on a bus.

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace platform {

class SleepInhibitor : public QObject {
    Q_OBJECT

public:
    SleepInhibitor() = default;
    ~SleepInhibitor() override;

    // Holds or lets go the lock; repeated calls with the same answer cost nothing.
    void Hold(bool wanted);

private:
    void AskPortal();
    void AskLogind();
    void LetGo();

    bool wanted_ = false;
    bool asking_ = false;
    QString portalHandle_;         // the portal's Request object; closing it ends the lock
    QDBusUnixFileDescriptor lock_; // logind's lock lasts while this is open
};

} // namespace platform
