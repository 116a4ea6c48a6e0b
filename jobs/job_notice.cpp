#include "jobs/job_notice.h"

namespace {

QString count(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// "3 of 12 tracks failed"; "1 of 1 track failed".
QString failed(int total, int done, const char *one, const char *many)
{
    return QStringLiteral("%1 of %2 failed").arg(total - done).arg(count(total, one, many));
}

} // namespace

QString ripNotice(int total, int ripped, int accurate)
{
    if (ripped < total)
        return failed(total, ripped, "track", "tracks");
    QString text = count(ripped, "track", "tracks") + QStringLiteral(" ripped");
    if (accurate >= 0 && ripped > 0)
        text += accurate == ripped ? QStringLiteral(", all accurate")
                                   : QStringLiteral(", %1 accurate").arg(accurate);
    return text;
}

QString conversionNotice(int total, int converted)
{
    if (converted < total)
        return failed(total, converted, "file", "files");
    return count(converted, "file", "files") + QStringLiteral(" converted");
}
