#include "platform/SystemCommand.h"

#include "platform/Process.h"

#include <QProcess>

namespace platform {

namespace {

// Found as the encoders are, so a program of that name in the output folder is never run.
bool StartDetached(const std::string& name, const QStringList& arguments) {
    const std::string program = FindProgram(name);
    return !program.empty() && QProcess::startDetached(QString::fromStdString(program), arguments);
}

} // namespace

void StartSystemCommand(const std::string& commandLine) {
    // pavucontrol's tabs: 2 recording streams (their volumes), 4 input devices.
    const QString tab = commandLine.starts_with("Sndvol32") ? "2" : "4";
    if (StartDetached("pavucontrol", {"--tab=" + tab}))
        return;
    StartDetached("gnome-control-center", {"sound"});
}

} // namespace platform
