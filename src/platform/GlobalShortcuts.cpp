#include "platform/GlobalShortcuts.h"

#include "platform/PortalRequest.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

namespace {

// One shortcut as the portal sends and takes it: (sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap options;
};
using PortalShortcuts = QList<PortalShortcut>;

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.options;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.options;
    argument.endStructure();
    return argument;
}

const QString Interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// What the user sees of each listed shortcut's key; empty where it has none.
std::map<QString, QString> Triggers(const QVariant& shortcuts) {
    std::map<QString, QString> triggers;
    for (const PortalShortcut& shortcut : qdbus_cast<PortalShortcuts>(shortcuts))
        triggers[shortcut.id] = shortcut.options.value("trigger_description").toString();
    return triggers;
}

// The portal's specification says a string; some portals send an object path.
QString PathText(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

namespace platform {

GlobalShortcuts::GlobalShortcuts(Callbacks callbacks) : callbacks_(std::move(callbacks)) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
}

void GlobalShortcuts::Bind(std::vector<Shortcut> shortcuts) {
    shortcuts_ = std::move(shortcuts);
    if (!QDBusConnection::sessionBus().isConnected()) {
        // The caller hears of it from the event loop, as of every other answer.
        QMetaObject::invokeMethod(
            this, [this] { Fail(); }, Qt::QueuedConnection);
        return;
    }
    CreateSession();
}

void GlobalShortcuts::CreateSession() {
    QVariantMap options;
    options.insert("session_handle_token", portal::NewToken());
    Request("CreateSession", {options}, SLOT(SessionCreated(uint, QVariantMap)));
}

void GlobalShortcuts::Request(const QString& method, QList<QVariant> arguments, const char* slot) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = portal::NewToken();
    QVariantMap options = arguments.last().toMap();
    options.insert("handle_token", token);
    arguments.last() = options;
    bus.connect(portal::Service, portal::RequestPath(token), portal::RequestInterface, "Response",
                this, slot);
    QDBusMessage call =
        QDBusMessage::createMethodCall(portal::Service, portal::Path, Interface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                if (finished->isError())
                    Fail();
                finished->deleteLater();
            });
}

void GlobalShortcuts::SessionCreated(uint response, const QVariantMap& results) {
    session_ = PathText(results.value("session_handle"));
    if (response != 0 || session_.isEmpty()) {
        Fail();
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(portal::Service, portal::Path, Interface, "Activated", this,
                SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bus.connect(portal::Service, portal::Path, Interface, "ShortcutsChanged", this,
                SLOT(ShortcutsChanged(QDBusMessage)));
    PortalShortcuts list;
    for (const Shortcut& shortcut : shortcuts_) {
        QVariantMap options;
        options.insert("description", shortcut.description);
        options.insert("preferred_trigger", shortcut.preferredTrigger);
        list.append({shortcut.id, options});
    }
    Request("BindShortcuts",
            {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(list), QString(),
             QVariantMap()},
            SLOT(ShortcutsBound(uint, QVariantMap)));
}

void GlobalShortcuts::ShortcutsBound(uint response, const QVariantMap& results) {
    if (response != 0) {
        Fail();
        return;
    }
    callbacks_.bound(Triggers(results.value("shortcuts")));
}

void GlobalShortcuts::Activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                const QVariantMap&) {
    if (session.path() == session_)
        callbacks_.activated(id);
}

void GlobalShortcuts::ShortcutsChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 2 && PathText(arguments.at(0)) == session_)
        callbacks_.bound(Triggers(arguments.at(1)));
}

void GlobalShortcuts::Fail() {
    if (std::exchange(failed_, true))
        return;
    callbacks_.unavailable();
}

} // namespace platform
