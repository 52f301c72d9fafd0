#pragma once
// What the desktop portal's calls share: the portal's address, the path of the Request object a
// call with `handle_token` answers on, known before the call so the answer is never missed, and
// the program's registration with the portal.

#include <QString>

namespace platform::portal {

inline const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString Path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// A token unique within this program's run.
QString NewToken();
// The Request path the portal answers a call carrying `token` on, for this connection.
QString RequestPath(const QString& token);
// Tells the portal the program's app id (its desktop entry's name), which some portals need and
// cannot find out for a program outside a sandbox. Sent before any other call to the portal; the
// answer is not awaited: a portal without the registry, or a sandbox, refuses it harmlessly.
void RegisterApp(const QString& appId);

} // namespace platform::portal
