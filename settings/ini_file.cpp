#include "settings/ini_file.h"

#include "settings/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <atomic>
#include <cstdio>

namespace {

// Some editors save UTF-8 with a byte-order mark; it is no part of the first line.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Bytes that are not UTF-8 come back as U+DC80 to U+DCFF, one a byte, so that a write gives the
// file the same bytes again; no UTF-8 text decodes to those lone surrogates.
constexpr char16_t kRawByte = 0xDC00;

// The length of the UTF-8 sequence at `p` (at most `left` bytes), or 0 when it is not one.
int utf8Length(const uchar *p, qsizetype left)
{
    const uchar c = p[0];
    const auto within = [&](int i, uchar low, uchar high) { return i < left && p[i] >= low && p[i] <= high; };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return within(1, 0x80, 0xBF) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const uchar low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        return within(1, low, high) && within(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const uchar low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        return within(1, low, high) && within(2, 0x80, 0xBF) && within(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

void warnOversized(const QString &path)
{
    static std::atomic_flag told; // starts clear
    if (!told.test_and_set())
        std::fprintf(stderr,
                     "%s is larger than %lld KiB: only its first %lld KiB are read as settings, "
                     "and the rest is kept as it is\n",
                     qPrintable(path), IniFile::maxFileBytes / 1024, IniFile::maxFileBytes / 1024);
}

// The file as far as it is read: its lines without their ends, the line end it uses, whether
// it starts with a byte-order mark, and where the part beyond the size limit starts (-1: none).
struct IniText {
    QList<QByteArray> lines;
    QByteArray eol = "\n";
    bool bom = false;
    qint64 rest = -1;
};

// A larger file is read up to the last line that ends within the limit: reading 50 MB afresh
// for every key made a rip crawl.
IniText readText(const QString &path)
{
    IniText text;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return text;
    QByteArray data;
    for (QByteArray block; data.size() <= IniFile::maxFileBytes && !(block = file.read(64 * 1024)).isEmpty();)
        data += block;
    if (data.size() > IniFile::maxFileBytes) {
        data.truncate(data.lastIndexOf('\n', IniFile::maxFileBytes - 1) + 1);
        text.rest = data.size();
        warnOversized(path);
    }
    text.bom = data.startsWith(kUtf8Bom);
    if (text.bom)
        data.remove(0, 3);
    text.eol = data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    text.lines = data.split('\n');
    if (!text.lines.isEmpty() && text.lines.last().isEmpty())
        text.lines.removeLast();
    for (QByteArray &line : text.lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return text;
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
        *value = IniFile::decodeText(line.mid(eq + 1)).trimmed();
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

QString IniFile::decodeText(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8Length(p + i, bytes.size() - i);
        if (n == 0) {
            text += QChar(char16_t(kRawByte + p[i++]));
            continue;
        }
        char32_t code = n == 1 ? p[i] : p[i] & (0x7F >> n);
        for (int k = 1; k < n; ++k)
            code = code << 6 | (p[i + k] & 0x3F);
        text += QStringView(QChar::fromUcs4(code));
        i += n;
    }
    return text;
}

QByteArray IniFile::encodeText(const QString &text)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const bool paired = i > 0 && text.at(i - 1).isHighSurrogate();
        if (u < kRawByte + 0x80 || u > kRawByte + 0xFF || paired)
            continue;
        bytes += QStringView(text).mid(from, i - from).toUtf8() + char(u & 0xFF);
        from = i + 1;
    }
    return bytes + QStringView(text).mid(from).toUtf8();
}

bool IniFile::isFaithfulPath(const QString &path)
{
    return QFile::decodeName(QFile::encodeName(path)) == path;
}

QString IniFile::unfaithfulPathMessage(const TextKey &key) const
{
    return QStringLiteral("The \"%1\" of %2 is not UTF-8 text: choose it again in the settings.")
        .arg(QLatin1String(key.key), m_path);
}

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
    const IniText text = readText(m_path);
    int sectionEnd = -1;
    QString value;
    if (findKey(text.lines, section, key, &sectionEnd, &value) < 0)
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
    IniText text = readText(m_path);
    // A value on several lines would add lines, even sections, of its own.
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray entry = key.toUtf8() + '=' + encodeText(oneLine);
    int sectionEnd = -1;
    const int at = findKey(text.lines, section, key, &sectionEnd, nullptr);
    if (at >= 0) {
        text.lines[at] = entry;
    } else if (sectionEnd >= 0) {
        text.lines.insert(sectionEnd, entry);
    } else {
        text.lines.append('[' + section.toUtf8() + ']');
        text.lines.append(entry);
    }
    QByteArray head = text.bom ? QByteArray(kUtf8Bom) : QByteArray();
    for (const QByteArray &line : std::as_const(text.lines))
        head += line + text.eol;
    // Lines pushed past the limit would no longer be read: refused, the file stays as it is.
    if (head.size() > maxFileBytes)
        throw IniWriteError(m_path);
    saveFile(head, text.rest);
}

// The new text, then an oversized file's rest as it was, in place of the file; a crash or a
// full disk leaves the old file whole.
void IniFile::saveFile(const QByteArray &head, qint64 rest) const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    // Keep a read-only or shared file's own permissions on the replacement.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw IniWriteError(m_path);
    file.write(head);
    QFile old(m_path);
    if (rest >= 0 && (!old.open(QIODevice::ReadOnly) || !old.seek(rest)))
        throw IniWriteError(m_path);
    for (QByteArray block; rest >= 0 && !(block = old.read(64 * 1024)).isEmpty();)
        file.write(block);
    if (old.error() != QFileDevice::NoError || !file.commit())
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
