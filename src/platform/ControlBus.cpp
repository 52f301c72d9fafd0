#include "platform/ControlBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace platform {

namespace {

const QString ServiceName = QStringLiteral("io.github.sonvera.Sonvera");
const QString ObjectPath = QStringLiteral("/io/github/sonvera/Sonvera");

} // namespace

ControlBus::ControlBus(Actions actions) : actions_(std::move(actions)) {}

ControlBus::~ControlBus() {
    if (!started_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(ObjectPath);
    bus.unregisterService(ServiceName);
}

bool ControlBus::Start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // No queueing and no replacing: a second instance simply goes without the interface.
    const auto reply =
        bus.interface()->registerService(ServiceName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return false;
    bus.registerObject(ObjectPath, this,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    published_ = actions_.state();
    started_ = true;
    return true;
}

void ControlBus::Publish() {
    if (!started_)
        return;
    const ControlState now = actions_.state();
    QVariantMap changed;
    if (now.Recording != published_.Recording)
        changed.insert("Recording", now.Recording);
    if (now.Paused != published_.Paused)
        changed.insert("Paused", now.Paused);
    if (now.Playing != published_.Playing)
        changed.insert("Playing", now.Playing);
    if (now.CurrentFile != published_.CurrentFile)
        changed.insert("CurrentFile", now.CurrentFile);
    published_ = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(ObjectPath, "org.freedesktop.DBus.Properties",
                                                     "PropertiesChanged");
    signal << ServiceName << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void ControlBus::Record() {
    actions_.record();
}

void ControlBus::PauseResume() {
    actions_.pauseResume();
}

void ControlBus::Stop() {
    actions_.stop();
}

void ControlBus::Marker() {
    actions_.marker();
}

} // namespace platform
