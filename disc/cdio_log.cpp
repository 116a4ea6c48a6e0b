#include "disc/cdio_log.h"

#include <QLoggingCategory>

#include <cdio/logging.h>

Q_LOGGING_CATEGORY(lcCdio, "harvelo.cdio", QtWarningMsg)

namespace {

void logToQt(cdio_log_level_t level, const char *message)
{
    if (level >= CDIO_LOG_ERROR)
        qCWarning(lcCdio, "%s", message);
    else
        qCDebug(lcCdio, "%s", message);
}

} // namespace

void installCdioLogHandler()
{
    static const bool installed = [] {
        cdio_log_set_handler(logToQt);
        return true;
    }();
    Q_UNUSED(installed);
}
