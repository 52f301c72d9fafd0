#include "platform/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

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

void RegisterApp(const QString& appId) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        Service, Path, QStringLiteral("org.freedesktop.host.portal.Registry"), "Register");
    call << appId << QVariantMap();
    // The bus keeps the order of one sender's calls: this one reaches the portal first.
    bus.send(call);
}

} // namespace platform::portal
