#include "PrivateBus.h"

#include "Desktop.h"
#include "TestPaths.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

using namespace std::chrono_literals;

namespace {

std::string Line(const std::string& text, int index) {
    std::istringstream lines(text);
    std::string line;
    for (int i = 0; i <= index; ++i)
        std::getline(lines, line);
    return line;
}

} // namespace

PrivateBus::PrivateBus(const std::string& folder) {
    const std::string config = folder + "/bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                          << "<auth>EXTERNAL</auth><policy context=\"default\">"
                             "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                             "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";
    const std::string started = Shell("dbus-daemon --fork --print-address=1 --print-pid=1 "
                                      "--config-file=" +
                                      config);
    address = Line(started, 0);
    daemon = std::atoi(Line(started, 1).c_str());
    if (address.empty() || daemon <= 0)
        throw std::runtime_error("no private bus: " + started);
}

PrivateBus::~PrivateBus() {
    if (daemon > 0)
        kill(daemon, SIGTERM);
}

std::string PrivateBus::Run(const std::string& command, int* status) const {
    return Shell("DBUS_SESSION_BUS_ADDRESS='" + address + "' " + command, status);
}

StandInServices::StandInServices(const std::string& folder, const PrivateBus& session,
                                 const PrivateBus* system, const std::string& options)
    : session(session), log(folder + "/standin.log") {
    const std::string systemBus =
        system ? "DBUS_SYSTEM_BUS_ADDRESS='" + system->Address() + "' " : "";
    pid = std::atoi(session
                        .Run(systemBus + test_paths::BinaryDir() + "/tests/standin_portal " + log +
                             " " + options + " >" + folder + "/standin.out 2>&1 & echo $!")
                        .c_str());
    if (!WaitForLine("ready"))
        throw std::runtime_error("the stand-in services did not start");
}

StandInServices::~StandInServices() {
    if (pid > 0)
        kill(pid, SIGTERM);
}

std::string StandInServices::Log() const {
    std::ifstream file(log);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool StandInServices::WaitForLine(const std::string& line) const {
    return WaitFor([&] { return Log().find(line + "\n") != std::string::npos; }, 10s);
}

void StandInServices::Activate(const std::string& shortcutId) const {
    session.Run("gdbus call --session --dest org.freedesktop.portal.Desktop --object-path "
                "/org/freedesktop/portal/desktop --method io.github.sonvera.StandIn.Activate " +
                shortcutId + " >/dev/null");
}

void StandInServices::Rebind(const std::string& shortcutId, const std::string& trigger) const {
    session.Run("gdbus call --session --dest org.freedesktop.portal.Desktop --object-path "
                "/org/freedesktop/portal/desktop --method io.github.sonvera.StandIn.Rebind " +
                shortcutId + " \"'" + trigger + "'\" >/dev/null");
}

} // namespace e2e
