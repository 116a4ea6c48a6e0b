#include "lookup/xmcd_entry.h"

#include "disc/text_decoding.h"

#include <QHash>

namespace {

// The format's escapes: \n, \t and \\.
QByteArray unescape(const QByteArray &value)
{
    QByteArray result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value.at(i);
        if (c != '\\' || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const char next = value.at(++i);
        if (next == 'n')
            result += '\n';
        else if (next == 't')
            result += '\t';
        else if (next == '\\')
            result += '\\';
        else
            result += QByteArray(1, c) + next;
    }
    return result;
}

QString decodeText(const QByteArray &raw)
{
    return fromUtf8OrLatin1(unescape(raw));
}

// Every key with its pieces joined, in order of appearance of the key.
QHash<QByteArray, QByteArray> collectValues(const QByteArray &entry)
{
    QHash<QByteArray, QByteArray> values;
    for (QByteArray line : entry.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('#'))
            continue;
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        values[line.left(equals).trimmed().toUpper()] += line.mid(equals + 1);
    }
    return values;
}

int highestTrackIndex(const QHash<QByteArray, QByteArray> &values)
{
    int highest = -1;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!it.key().startsWith("TTITLE"))
            continue;
        bool ok = false;
        const int index = it.key().mid(6).toInt(&ok);
        if (ok && index >= 0 && index < 100)
            highest = std::max(highest, index);
    }
    return highest;
}

void splitTitle(const QString &title, DiscNames &names)
{
    const int slash = title.indexOf(QLatin1String(" / "));
    names.artist = slash < 0 ? title : title.left(slash).trimmed();
    names.album = slash < 0 ? title : title.mid(slash + 3).trimmed();
}

// "Artist / Title" track lines of a various-artists entry.
void splitTrackArtists(DiscNames &names)
{
    for (QString &title : names.titles) {
        const ShownTitle split = splitShownTitle(title);
        names.trackArtists.append(split.artist);
        title = split.title;
    }
}

} // namespace

std::optional<DiscNames> parseXmcdEntry(const QByteArray &entry, const QString &category)
{
    const QHash<QByteArray, QByteArray> values = collectValues(entry);
    const int lastTrack = highestTrackIndex(values);
    if (!values.contains("DTITLE") && lastTrack < 0)
        return std::nullopt;
    DiscNames names;
    splitTitle(decodeText(values.value("DTITLE")).trimmed(), names);
    names.genre = decodeText(values.value("DGENRE")).trimmed();
    if (names.genre.isEmpty())
        names.genre = category;
    names.date = releaseDate(decodeText(values.value("DYEAR")).trimmed());
    for (int i = 0; i <= lastTrack; ++i)
        names.titles.append(decodeText(values.value("TTITLE" + QByteArray::number(i))).trimmed());
    names.trackTotal = int(names.titles.size());
    if (isVariousArtists(names.artist))
        splitTrackArtists(names);
    return names;
}
