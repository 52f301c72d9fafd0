#include "platform/CacheLocation.h"

#include <QStandardPaths>

namespace platform {

std::string DurationCacheFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation).toStdString() +
           "/Sonvera/durations";
}

} // namespace platform
