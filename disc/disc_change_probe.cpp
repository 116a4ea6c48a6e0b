#include "disc/disc_change_probe.h"

#include "disc/cdio_log.h"

#include <QFile>

#include <cdio/cdio.h>
#include <sys/stat.h>

namespace {

bool isDevice(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && (S_ISBLK(st.st_mode) || S_ISCHR(st.st_mode));
}

// What changes whenever an image file is written, replaced, created or removed.
QByteArray imageStamp(const QByteArray &path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return QByteArrayLiteral("absent");
    return QByteArray::number(qulonglong(st.st_ino)) + ' ' + QByteArray::number(qlonglong(st.st_size)) + ' ' +
           QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) +
           ' ' + QByteArray::number(qlonglong(st.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(st.st_ctim.tv_nsec));
}

// The drive's own flag, cleared by asking: 1 when the medium changed since the last question.
bool driveMediumChanged(const QByteArray &device)
{
    installCdioLogHandler();
    CdIo_t *cdio = cdio_open(device.constData(), DRIVER_DEVICE);
    if (!cdio)
        return false;
    const bool changed = cdio_get_media_changed(cdio) == 1;
    cdio_destroy(cdio);
    return changed;
}

} // namespace

bool DiscChangeProbe::changed(const QString &source)
{
    const QByteArray path = QFile::encodeName(source);
    const bool first = source != m_source;
    m_source = source;
    if (source.isEmpty())
        return false;
    if (isDevice(path)) {
        m_state.clear();
        const bool changed = driveMediumChanged(path);
        return changed && !first;
    }
    const QByteArray stamp = imageStamp(path);
    const bool changed = !first && stamp != m_state;
    m_state = stamp;
    return changed;
}

void DiscChangeProbe::reset()
{
    m_source.clear();
    m_state.clear();
}
