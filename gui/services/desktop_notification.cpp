#include "gui/services/desktop_notification.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace desktopNotification {

namespace {
const QString kAppId = QStringLiteral("io.github.harvelo.Harvelo");
}

void send(const QString &summary)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        Service, Path, QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // server's choice).
    notify << QStringLiteral("Harvelo") << 0u << kAppId << summary << QString() << QStringList()
           << QVariantMap{{QStringLiteral("desktop-entry"), kAppId}} << -1;
    // No answer is awaited: an error reply (no such service) is dropped by the bus connection.
    bus.send(notify);
}

void afterJob(const QString &summary)
{
    if (summary.isEmpty() || QApplication::activeWindow())
        return;
    if (IniFile().read(settings::notify) != QLatin1String("yes"))
        return;
    send(summary);
}

} // namespace desktopNotification
