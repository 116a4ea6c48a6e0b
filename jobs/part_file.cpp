#include "jobs/part_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPartMark = QStringLiteral(".harvelo-part");
// File names longer than this many bytes are refused by the common Linux file systems.
constexpr qsizetype kNameMax = 255;

// The longest start of `text` whose UTF-8 form fits `bytes`, never splitting a character.
QString fitUtf8(const QString &text, qsizetype bytes)
{
    QString out;
    qsizetype used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        const QString ch = text.mid(i, pair ? 2 : 1);
        used += ch.toUtf8().size();
        if (used > bytes)
            break;
        out += ch;
        i += pair ? 1 : 0;
    }
    return out;
}

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

PartFile::PartFile(const QString &finalPath)
    : m_finalPath(finalPath), m_partPath(partPathFor(finalPath))
{
    QFile::remove(m_partPath);
}

PartFile::~PartFile()
{
    discard();
}

QString PartFile::partPathFor(const QString &finalPath)
{
    const QFileInfo info(finalPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    const QString base = dot > 0 ? name.left(dot) : name;
    const qsizetype room = kNameMax - 1 - kPartMark.size() - ext.toUtf8().size();
    const QString partName = QLatin1Char('.') + fitUtf8(base, room) + kPartMark + ext;
    return info.dir().filePath(partName);
}

bool PartFile::isPartName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..*\\.harvelo-part(\\.[^.]*)?$"));
    return pattern.match(fileName).hasMatch();
}

bool PartFile::commit()
{
    if (m_done)
        return false;
    const QByteArray part = QFile::encodeName(m_partPath);
    const QByteArray final = QFile::encodeName(m_finalPath);
    struct stat old;
    if (::stat(final.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(part.constData(), (old.st_mode & 07777) | S_IWUSR);
    // The data must be on the disk before the name points at it: after a power loss the final
    // name then holds either the old file or the whole new one.
    if (!syncPath(m_partPath, O_RDONLY) || ::rename(part.constData(), final.constData()) != 0) {
        discard();
        return false;
    }
    m_done = true;
    syncPath(QFileInfo(m_finalPath).absolutePath(), O_RDONLY | O_DIRECTORY);
    return true;
}

void PartFile::discard()
{
    if (m_done)
        return;
    m_done = true;
    QFile::remove(m_partPath);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0
        && ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev
        && sa.st_ino == sb.st_ino;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    PartFile part(path);
    QFile file(part.path());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    return file.error() == QFileDevice::NoError && part.commit();
}
