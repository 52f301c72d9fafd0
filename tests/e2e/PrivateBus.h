#pragma once
// A D-Bus daemon of the test's own (no service activation, so nothing of the machine's desktop
// answers on it) and the stand-in desktop services on it.

#include <string>
#include <sys/types.h>

namespace e2e {

class PrivateBus {
public:
    // Its configuration lives in `folder`, its socket in /tmp (a socket path must stay short).
    explicit PrivateBus(const std::string& folder);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    const std::string& Address() const { return address; }
    // Runs a command with DBUS_SESSION_BUS_ADDRESS set to this bus.
    std::string Run(const std::string& command, int* status = nullptr) const;

private:
    std::string address;
    pid_t daemon = -1;
};

// The stand-in portal and logind (tests/support/standin_portal.cpp); `options` are its
// --shortcuts, --inhibit, --registry, --logind. Its log tells what the program asked of it.
class StandInServices {
public:
    StandInServices(const std::string& folder, const PrivateBus& session, const PrivateBus* system,
                    const std::string& options);
    ~StandInServices();
    std::string Log() const;
    // Waits for `line` to appear in the log.
    bool WaitForLine(const std::string& line) const;
    // Presses a global key as the desktop would: the portal's Activated for `shortcutId`.
    void Activate(const std::string& shortcutId) const;
    // Gives a shortcut another key (empty: none), as the user does in the desktop's settings.
    void Rebind(const std::string& shortcutId, const std::string& trigger) const;

private:
    const PrivateBus& session;
    std::string log;
    pid_t pid = -1;
};

} // namespace e2e
