#include "platform/PortalRequest.h"

#include <QDBusConnection>

namespace platform::portal {

QString NewToken() {
    static int count = 0;
    return QStringLiteral("sonvera%1").arg(++count);
}

QString RequestPath(const QString& token) {
    // ":1.42" becomes "1_42", as the portal names its requests.
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace('.', '_');
    return Path + "/request/" + sender + "/" + token;
}

} // namespace platform::portal
