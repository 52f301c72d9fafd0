#pragma once
// What the desktop portal's calls share: the portal's address, and the path of the Request
// object a call with `handle_token` answers on, known before the call so the answer is never
// missed.

#include <QString>

namespace platform::portal {

inline const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString Path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// A token unique within this program's run.
QString NewToken();
// The Request path the portal answers a call carrying `token` on, for this connection.
QString RequestPath(const QString& token);

} // namespace platform::portal
