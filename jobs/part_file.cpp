#include "jobs/part_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPartMark = QStringLiteral(".harvelo-part");
constexpr int kTokenLength = 8;
// Enough tries that only a folder where no file can be made runs out of them.
constexpr int kCreateTries = 100;

// The longest prefix of `text` that ends at a boundary `next` gives (-1: no more) and holds
// at most `budget` bytes of UTF-8.
template <typename Next>
qsizetype prefixWithin(const QString &text, qsizetype budget, Next next)
{
    qsizetype end = 0;
    qsizetype bytes = 0;
    for (qsizetype p = next(0); p > end; p = next(p)) {
        bytes += QStringView(text).mid(end, p - end).toUtf8().size();
        if (bytes > budget)
            break;
        end = p;
    }
    return end;
}

qsizetype nextCodePoint(const QString &text, qsizetype from)
{
    if (from >= text.size())
        return -1;
    const bool pair = text.at(from).isHighSurrogate() && from + 1 < text.size()
                      && text.at(from + 1).isLowSurrogate();
    return from + (pair ? 2 : 1);
}

// Cut between user-perceived characters; inside one that alone is too long (a letter with
// thousands of accents), between code points.
qsizetype cutPoint(const QString &text, qsizetype budget)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    const qsizetype end = prefixWithin(text, budget, [&graphemes](qsizetype from) {
        graphemes.setPosition(from);
        return graphemes.toNextBoundary();
    });
    if (end > 0)
        return end;
    return prefixWithin(text, budget, [&text](qsizetype from) { return nextCodePoint(text, from); });
}

QString randomToken()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString token;
    for (int i = 0; i < kTokenLength; ++i)
        token += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return token;
}

// A fresh temporary name for `finalPath`, cut to fit one file name.
QString partName(const QString &finalPath)
{
    const QFileInfo info(finalPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString tail = QLatin1Char('.') + randomToken() + kPartMark + ext;
    return info.dir().filePath(QLatin1Char('.') + fittedName(base, tail, kMaxNameBytes - 1));
}

std::optional<PartFile::Identity> identityOf(const QByteArray &path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return std::nullopt;
    return PartFile::Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// rename() that fails with EEXIST instead of replacing a file that is there.
bool renameNoReplace(const char *from, const char *to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // A file system without it (some network and FUSE ones): a new link is as exclusive.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return true;
    }
    if (errno == EEXIST)
        return false;
    // Nor links (FAT): a last look, then the rename.
    struct stat st;
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from, to) == 0;
}

} // namespace

QString fittedName(const QString &name, const QString &extension, qsizetype maxBytes)
{
    const qsizetype budget = maxBytes - extension.toUtf8().size();
    if (name.toUtf8().size() <= budget)
        return name + extension;
    return name.left(cutPoint(name, std::max<qsizetype>(0, budget))) + extension;
}

bool PartFile::Identity::operator==(const Identity &o) const
{
    return device == o.device && inode == o.inode && size == o.size
        && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
}

PartFile::PartFile(const QString &finalPath)
    : m_finalPath(finalPath), m_finalAtStart(identityOf(QFile::encodeName(finalPath)))
{
    if (!create()) {
        m_partPath.clear(); // no writer may make the file in our stead
        m_done = true;      // nothing of ours to commit or remove
    }
}

PartFile::~PartFile()
{
    discard();
}

// Exclusive creation, as mkstemp does, but with the permissions any new file gets (the umask's).
bool PartFile::create()
{
    for (int i = 0; i < kCreateTries; ++i) {
        m_partPath = partName(m_finalPath);
        const int fd = ::open(QFile::encodeName(m_partPath).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat st;
            const bool known = ::fstat(fd, &st) == 0;
            ::close(fd);
            if (known)
                m_part = Identity{st.st_dev, st.st_ino, 0, {}};
            return known;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool PartFile::isPartName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..*\\.harvelo-part(\\.[^.]*)?$"));
    return pattern.match(fileName).hasMatch();
}

// The name still leads to the file this writer made: writers fill it in place.
bool PartFile::ownsPart() const
{
    const auto now = identityOf(QFile::encodeName(m_partPath));
    return m_part && now && now->device == m_part->device && now->inode == m_part->inode;
}

bool PartFile::commit()
{
    if (m_done)
        return false;
    const auto finalNow = identityOf(QFile::encodeName(m_finalPath));
    // A file that appeared, or replaced the one there, while this one was written is another
    // writer's: it stays, and this one goes.
    if (finalNow && !(m_finalAtStart && *finalNow == *m_finalAtStart)) {
        m_conflict = true;
        discard();
        return false;
    }
    const QByteArray part = QFile::encodeName(m_partPath);
    struct stat old;
    if (::stat(QFile::encodeName(m_finalPath).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(part.constData(), (old.st_mode & 07777) | S_IWUSR);
    // The data must be on the disk before the name points at it: after a power loss the final
    // name then holds either the old file or the whole new one.
    if (!ownsPart() || !syncPath(m_partPath, O_RDONLY) || !moveIntoPlace(finalNow.has_value())) {
        discard();
        return false;
    }
    m_done = true;
    syncPath(QFileInfo(m_finalPath).absolutePath(), O_RDONLY | O_DIRECTORY);
    return true;
}

// Over the file the writer was allowed to replace, or under a name that must still be free.
bool PartFile::moveIntoPlace(bool replacing)
{
    const QByteArray part = QFile::encodeName(m_partPath);
    const QByteArray final = QFile::encodeName(m_finalPath);
    if (replacing)
        return ::rename(part.constData(), final.constData()) == 0;
    if (renameNoReplace(part.constData(), final.constData()))
        return true;
    m_conflict = errno == EEXIST;
    return false;
}

void PartFile::discard()
{
    if (m_done)
        return;
    m_done = true;
    if (ownsPart())
        ::unlink(QFile::encodeName(m_partPath).constData());
}

QString conflictMessage(const QString &finalPath)
{
    return finalPath + QStringLiteral(" was written by another writer meanwhile; that file is kept");
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
