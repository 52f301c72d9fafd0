// A stand-in for the desktop's services, for the end-to-end tests: on the session bus the
// portal's GlobalShortcuts (--shortcuts), Inhibit (--inhibit) and the host app registry
// (--registry), on the system bus logind's Inhibit (--logind). It answers as the real ones do and
// writes each call to a log file:
//   bind <id> <preferred trigger>, inhibit <flags>, release, register <app id>, logind <what>,
//   logind-release.
// The test presses a key through io.github.sonvera.StandIn.Activate(s id) on the portal's path,
// and gives a shortcut another key (empty: none), as the user does in the desktop's settings,
// through io.github.sonvera.StandIn.Rebind(s id, s trigger).
//
//   standin_portal LOG [--shortcuts] [--inhibit] [--registry] [--logind]

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QFile>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

namespace {

struct Shortcut {
    QString id;
    QVariantMap options;
};

} // namespace

Q_DECLARE_METATYPE(Shortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.options;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.options;
    argument.endStructure();
    return argument;
}

const QString PortalPath = "/org/freedesktop/portal/desktop";
QFile logFile;

void Log(const QString& line) {
    logFile.write((line + "\n").toUtf8());
    logFile.flush();
}

QString RequestPath(const QDBusMessage& call, const QVariantMap& options, const QString& kind,
                    const QString& tokenKey) {
    QString sender = call.service().mid(1);
    sender.replace('.', '_');
    return PortalPath + "/" + kind + "/" + sender + "/" + options.value(tokenKey).toString();
}

class Portal : public QDBusVirtualObject {
public:
    Portal(bool shortcuts, bool inhibit, bool registry)
        : shortcuts_(shortcuts), inhibit_(inhibit), registry_(registry) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override {
        QDBusConnection bus = connection;
        const QString interface = call.interface(), member = call.member();
        const QList<QVariant> arguments = call.arguments();
        if (shortcuts_ && interface == "org.freedesktop.portal.GlobalShortcuts") {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.last());
            const QString request = RequestPath(call, options, "request", "handle_token");
            QVariantMap results;
            if (member == "CreateSession") {
                session_ = RequestPath(call, options, "session", "session_handle_token");
                results.insert("session_handle", session_);
            } else if (member == "BindShortcuts") {
                auto list = qdbus_cast<QList<Shortcut>>(arguments.at(1));
                for (Shortcut& shortcut : list) {
                    const QString trigger = shortcut.options.value("preferred_trigger").toString();
                    Log("bind " + shortcut.id + " " + trigger);
                    shortcut.options.insert("trigger_description", trigger);
                }
                results.insert("shortcuts", QVariant::fromValue(list));
            } else {
                return false;
            }
            bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            QDBusMessage response =
                QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
            response << 0u << results;
            bus.send(response);
            return true;
        }
        if (inhibit_ && interface == "org.freedesktop.portal.Inhibit" && member == "Inhibit") {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.last());
            Log("inhibit " + QString::number(arguments.at(1).toUInt()));
            const QString request = RequestPath(call, options, "request", "handle_token");
            bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            return true;
        }
        if (registry_ && interface == "org.freedesktop.host.portal.Registry" &&
            member == "Register") {
            Log("register " + arguments.at(0).toString());
            bus.send(call.createReply());
            return true;
        }
        if (interface == "org.freedesktop.portal.Request" && member == "Close") {
            Log("release");
            bus.send(call.createReply());
            return true;
        }
        if (interface == "io.github.sonvera.StandIn" && member == "Activate") {
            QDBusMessage activated = QDBusMessage::createSignal(
                PortalPath, "org.freedesktop.portal.GlobalShortcuts", "Activated");
            activated << QVariant::fromValue(QDBusObjectPath(session_)) << arguments.at(0)
                      << qulonglong(0) << QVariantMap();
            bus.send(activated);
            bus.send(call.createReply());
            return true;
        }
        if (interface == "io.github.sonvera.StandIn" && member == "Rebind") {
            // Only the changed shortcut, as a desktop tells of one the user just set.
            QVariantMap options;
            options.insert("trigger_description", arguments.at(1).toString());
            const QList<Shortcut> changed = {{arguments.at(0).toString(), options}};
            QDBusMessage signal = QDBusMessage::createSignal(
                PortalPath, "org.freedesktop.portal.GlobalShortcuts", "ShortcutsChanged");
            signal << QVariant::fromValue(QDBusObjectPath(session_))
                   << QVariant::fromValue(changed);
            bus.send(signal);
            bus.send(call.createReply());
            return true;
        }
        return false;
    }

private:
    bool shortcuts_, inhibit_, registry_;
    QString session_;
};

// logind's lock is a file descriptor: it ends when the program closes its end of the pipe.
class Logind : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override {
        if (call.member() != "Inhibit")
            return false;
        Log("logind " + call.arguments().at(0).toString() + " " +
            call.arguments().at(3).toString());
        int ends[2];
        if (pipe(ends) != 0)
            return false;
        auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, ends] {
            char byte;
            if (read(ends[0], &byte, 1) <= 0) {
                Log("logind-release");
                notifier->setEnabled(false);
                close(ends[0]);
            }
        });
        connection.send(call.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        close(ends[1]);
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    const QStringList arguments = application.arguments();
    if (arguments.size() < 2)
        return 2;
    logFile.setFileName(arguments.at(1));
    if (!logFile.open(QIODevice::Append))
        return 2;
    Portal portal(arguments.contains("--shortcuts"), arguments.contains("--inhibit"),
                  arguments.contains("--registry"));
    if (arguments.contains("--shortcuts") || arguments.contains("--inhibit") ||
        arguments.contains("--registry")) {
        QDBusConnection session = QDBusConnection::sessionBus();
        if (!session.registerVirtualObject(PortalPath, &portal, QDBusConnection::SubPath) ||
            !session.registerService("org.freedesktop.portal.Desktop"))
            return 1;
    }
    Logind logind;
    if (arguments.contains("--logind")) {
        QDBusConnection system = QDBusConnection::systemBus();
        if (!system.registerVirtualObject("/org/freedesktop/login1", &logind) ||
            !system.registerService("org.freedesktop.login1"))
            return 1;
    }
    Log("ready");
    return application.exec();
}
