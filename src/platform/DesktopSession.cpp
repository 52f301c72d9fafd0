#include "platform/DesktopSession.h"

#include <QGuiApplication>

namespace platform {

bool WaylandSession() {
    return QGuiApplication::platformName().startsWith("wayland") ||
           qgetenv("XDG_SESSION_TYPE") == "wayland" || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

} // namespace platform
