#include "platform/SystemCommand.h"

#include <QProcess>

namespace platform {

void StartSystemCommand(const std::string& commandLine) {
    // pavucontrol's tabs: 2 recording streams (their volumes), 4 input devices.
    const QString tab = commandLine.starts_with("Sndvol32") ? "2" : "4";
    if (QProcess::startDetached("pavucontrol", {"--tab=" + tab}))
        return;
    QProcess::startDetached("gnome-control-center", {"sound"});
}

} // namespace platform
