#include "tests/support/small_folder.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

SmallFolder::SmallFolder(const QString &path, qint64 bytes) : m_path(path), m_bytes(bytes)
{
    QDir().mkpath(path);
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0,
                        options.constData()) == 0;
}

SmallFolder::~SmallFolder()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

void SmallFolder::limited(const std::function<void()> &fn) const
{
    if (m_mounted)
        return fn();
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = rlim_t(m_bytes);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    fn();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

QStringList SmallFolder::entries() const
{
    return QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
