#include "settings/ini_file.h"

#include "settings/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Some editors save UTF-8 with a byte-order mark; it is no part of the first line.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The file's lines without their ends; *bom tells whether it starts with a byte-order mark.
QList<QByteArray> readLines(const QString &path, QByteArray *eol, bool *bom = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = file.readAll();
    const bool marked = data.startsWith(kUtf8Bom);
    if (marked)
        data.remove(0, 3);
    if (bom)
        *bom = marked;
    *eol = data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return {};
    return QString::fromUtf8(t.mid(1, t.size() - 2)).trimmed();
}

bool keyMatches(const QByteArray &line, const QString &key, QString *value)
{
    const int eq = line.indexOf('=');
    if (eq < 0)
        return false;
    const QString name = QString::fromUtf8(line.left(eq)).trimmed();
    if (name.compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
    return true;
}

bool sectionMatches(const QByteArray &line, const QString &section)
{
    const QString name = sectionOf(line);
    return !name.isNull() && name.compare(section, Qt::CaseInsensitive) == 0;
}

// Index of the key's line inside the first section of that name; -1 when absent.
// *sectionEnd receives the index after the section's last non-blank line (-1: no section).
int findKey(const QList<QByteArray> &lines, const QString &section, const QString &key,
            int *sectionEnd, QString *value)
{
    *sectionEnd = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (!sectionOf(lines[i]).isNull()) {
            if (inSection)
                return -1;
            inSection = sectionMatches(lines[i], section);
            if (inSection)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            *sectionEnd = i + 1;
        if (keyMatches(lines[i], key, value))
            return i;
    }
    return -1;
}

} // namespace

IniWriteError::IniWriteError(const QString &fileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName).toStdString())
{
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::configPath()
{
    const QByteArray dir = qgetenv("HARVELO_CONFIG_DIR");
    if (!dir.isEmpty())
        return QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("harvelo.ini"));
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QStringLiteral("harvelo/harvelo.ini"));
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    QByteArray eol;
    const QList<QByteArray> lines = readLines(m_path, &eol);
    int sectionEnd = -1;
    QString value;
    if (findKey(lines, section, key, &sectionEnd, &value) < 0)
        return def;
    return value.left(maxValueLength);
}

bool IniFile::parseInteger(const QString &text, int *value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    } else if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    }
    if (t.isEmpty() || !t.at(0).isLetterOrNumber())
        return false;
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok, base);
    const qlonglong signedN = negative ? -n : n;
    if (!ok || signedN < INT_MIN || signedN > INT_MAX)
        return false;
    *value = int(signedN);
    return true;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    int value = def;
    return parseInteger(readString(section, key, QString()), &value) ? value : def;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QByteArray eol = "\n";
    bool bom = false;
    QList<QByteArray> lines = readLines(m_path, &eol, &bom);
    int sectionEnd = -1;
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    const int at = findKey(lines, section, key, &sectionEnd, nullptr);
    if (at >= 0) {
        lines[at] = entry;
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, entry);
    } else {
        lines.append('[' + section.toUtf8() + ']');
        lines.append(entry);
    }

    QFileInfo info(m_path);
    QDir().mkpath(info.absolutePath());
    QSaveFile file(m_path);
    // Keep a read-only or shared file's own permissions on the replacement.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw IniWriteError(m_path);
    if (bom)
        file.write(kUtf8Bom);
    for (const QByteArray &line : std::as_const(lines)) {
        file.write(line);
        file.write(eol);
    }
    if (!file.commit())
        throw IniWriteError(m_path);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QString IniFile::read(const TextKey &key) const
{
    return readString(QLatin1String(key.section), QLatin1String(key.key), key.defaultValue());
}

int IniFile::read(const IntKey &key) const
{
    return readInteger(QLatin1String(key.section), QLatin1String(key.key), key.defaultValue);
}

bool IniFile::readFlag(const IntKey &key) const
{
    return read(key) != 0;
}

void IniFile::write(const TextKey &key, const QString &value)
{
    writeString(QLatin1String(key.section), QLatin1String(key.key), value);
}

void IniFile::write(const IntKey &key, int value)
{
    writeInteger(QLatin1String(key.section), QLatin1String(key.key), value);
}
