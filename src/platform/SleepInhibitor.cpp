#include "platform/SleepInhibitor.h"

#include "platform/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace platform {

namespace {

constexpr uint InhibitSuspend = 4;
const QString Reason = QStringLiteral("Recording");

} // namespace

SleepInhibitor::~SleepInhibitor() {
    wanted_ = false;
    LetGo();
}

void SleepInhibitor::Hold(bool wanted) {
    if (wanted == wanted_)
        return;
    wanted_ = wanted;
    // An answer still on its way is settled when it comes.
    if (asking_)
        return;
    if (wanted_)
        AskPortal();
    else
        LetGo();
}

void SleepInhibitor::AskPortal() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        AskLogind();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(portal::Service, portal::Path,
                                                       "org.freedesktop.portal.Inhibit", "Inhibit");
    QVariantMap options;
    options.insert("handle_token", portal::NewToken());
    options.insert("reason", Reason);
    call << QString() << InhibitSuspend << options;
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                asking_ = false;
                const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                if (reply.isError()) {
                    if (wanted_)
                        AskLogind();
                    return;
                }
                portalHandle_ = reply.value().path();
                if (!wanted_)
                    LetGo();
            });
}

void SleepInhibitor::AskLogind() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep") << QStringLiteral("Sonvera") << Reason
         << QStringLiteral("block");
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                asking_ = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
                if (reply.isError())
                    return; // nothing holds sleep off here; recording goes on regardless
                lock_ = reply.value();
                if (!wanted_)
                    LetGo();
            });
}

void SleepInhibitor::LetGo() {
    if (!portalHandle_.isEmpty()) {
        QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
            portal::Service, portalHandle_, portal::RequestInterface, "Close"));
        portalHandle_.clear();
    }
    lock_ = QDBusUnixFileDescriptor();
}

} // namespace platform
