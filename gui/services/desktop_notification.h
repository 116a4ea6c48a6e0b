#pragma once

#include <QString>

// Desktop notifications through the freedesktop Notifications service of the D-Bus session
// bus. They are a courtesy: without a session bus, or without the service, nothing is shown
// and nothing is reported. Call on the UI thread.
namespace desktopNotification {

// The service's name, path and interface, for those who serve it.
inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");

// Sends one notification with the program's icon and `summary`, without waiting for an answer.
void send(const QString &summary);

// At the end of a job: sends `summary` when "notify" is "yes" and no window of the program is
// active (the user is elsewhere and would not see the job end).
void afterJob(const QString &summary);

} // namespace desktopNotification
