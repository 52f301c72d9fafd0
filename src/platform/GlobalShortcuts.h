#pragma once
// Global keys through the desktop portal (org.freedesktop.portal.GlobalShortcuts), where a
// Wayland desktop lets no program grab a key: the program asks for its shortcuts with preferred
// keys at every start, the desktop binds them (perhaps to other keys) and tells when one is
// pressed, and when the user gives one another key in the desktop's settings. All calls are
// asynchronous; the answers come through the callbacks.

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <map>
#include <vector>

namespace platform {

class GlobalShortcuts : public QObject {
    Q_OBJECT

public:
    struct Shortcut {
        QString id;
        QString description;
        QString preferredTrigger; // as the portal writes keys: "F5", "CTRL+F5"
    };
    struct Callbacks {
        std::function<void(const QString& id)> activated;
        // The keys the desktop gave, by shortcut id (a text to show the user; empty for a
        // shortcut left without a key): at bind time, then those the user changed.
        std::function<void(const std::map<QString, QString>& triggers)> bound;
        // No portal, or it refused: the keys stay the window's own.
        std::function<void()> unavailable;
    };
    explicit GlobalShortcuts(Callbacks callbacks);

    // Starts the exchange with the portal on the session bus.
    void Bind(std::vector<Shortcut> shortcuts);

private slots:
    void SessionCreated(uint response, const QVariantMap& results);
    void ShortcutsBound(uint response, const QVariantMap& results);
    void Activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                   const QVariantMap& options);
    // (o session_handle, a(sa{sv}) shortcuts): taken whole, as its list has no Qt type.
    void ShortcutsChanged(const QDBusMessage& message);

private:
    void CreateSession();
    // Calls `method` on the portal with `arguments`, whose last is the options map that gets
    // the handle token; the answer goes to `slot`.
    void Request(const QString& method, QList<QVariant> arguments, const char* slot);
    void Fail();

    Callbacks callbacks_;
    std::vector<Shortcut> shortcuts_;
    QString session_;
    bool failed_ = false;
};

} // namespace platform
