#include "tests/support/musicbrainz_fixture.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>

namespace {

QString mbid(const QString &name)
{
    static const QUuid space(QStringLiteral("{6ba7b811-9dad-11d1-80b4-00c04fd430c8}"));
    return QUuid::createUuidV5(space, name).toString(QUuid::WithoutBraces);
}

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// One credit per name of "A & B feat. C", each with the phrase that joins it to the next.
QJsonArray artistCredit(const QString &artist)
{
    static const QRegularExpression joins(QStringLiteral("( & | feat\\. |, )"));
    QJsonArray credits;
    qsizetype from = 0;
    auto match = joins.globalMatch(artist);
    auto add = [&](qsizetype end, const QString &joinphrase) {
        const QString name = artist.mid(from, end - from);
        credits.append(QJsonObject{{"name", name},
                                   {"joinphrase", joinphrase},
                                   {"artist", QJsonObject{{"id", mbid(QStringLiteral("artist ") + name)},
                                                          {"name", name},
                                                          {"sort-name", name},
                                                          {"disambiguation", ""}}}});
    };
    while (match.hasNext()) {
        const QRegularExpressionMatch m = match.next();
        add(m.capturedStart(), m.captured());
        from = m.capturedEnd();
    }
    add(artist.size(), QString());
    return credits;
}

QJsonObject trackObject(const MbRelease &r, int medium, int index, const MbTrack &t)
{
    const QString artist = t.artist.isEmpty() ? r.artist : t.artist;
    const QJsonObject recording{
        {"id", r.recordingId(medium, index)},
        {"title", t.recordingTitle.isEmpty() ? t.title : t.recordingTitle},
        {"length", t.lengthMs},
        {"disambiguation", ""},
        {"video", false},
        {"artist-credit", artistCredit(artist)},
    };
    return {{"id", r.trackId(medium, index)}, {"number", QString::number(index + 1)},
            {"position", index + 1},          {"title", t.title},
            {"length", t.lengthMs},           {"artist-credit", artistCredit(artist)},
            {"recording", recording}};
}

QJsonObject mediumObject(const MbRelease &r, int index)
{
    const MbMedium &m = r.media[index];
    QJsonArray discs;
    for (const QString &id : m.discIds)
        discs.append(QJsonObject{{"id", id}, {"offset-count", int(m.tracks.size())}});
    QJsonArray tracks;
    for (int t = 0; t < m.tracks.size(); ++t)
        tracks.append(trackObject(r, index, t, m.tracks[t]));
    return {{"title", textOrNull(m.title)}, {"format", m.format},
            {"format-id", mbid(QStringLiteral("format ") + m.format)},
            {"position", index + 1},         {"track-count", int(m.tracks.size())},
            {"track-offset", 0},             {"discs", discs},
            {"tracks", tracks}};
}

QJsonObject releaseObject(const MbRelease &r)
{
    QJsonArray media;
    for (int m = 0; m < r.media.size(); ++m)
        media.append(mediumObject(r, m));
    const QJsonObject group{{"id", r.releaseGroupId()}, {"title", r.title}, {"disambiguation", ""},
                            {"first-release-date", r.date}, {"primary-type", "Album"},
                            {"secondary-types", QJsonArray()}, {"artist-credit", artistCredit(r.artist)}};
    const QJsonObject coverArt{{"artwork", true}, {"count", 1}, {"front", true}, {"back", false},
                               {"darkened", false}};
    QJsonArray events;
    if (!r.date.isEmpty())
        events.append(QJsonObject{{"date", r.date}, {"area", QJsonValue()}});
    return {{"id", r.id()}, {"title", r.title}, {"status", "Official"}, {"quality", "normal"},
            {"date", textOrNull(r.date)}, {"country", textOrNull(r.country)},
            {"barcode", textOrNull(r.barcode)}, {"asin", QJsonValue()}, {"disambiguation", ""},
            {"packaging", QJsonValue()}, {"text-representation", QJsonObject{{"language", "eng"}, {"script", "Latn"}}},
            {"cover-art-archive", coverArt}, {"release-events", events},
            {"artist-credit", artistCredit(r.artist)}, {"release-group", group}, {"media", media}};
}

QJsonArray releaseArray(const QList<MbRelease> &releases)
{
    QJsonArray array;
    for (const MbRelease &r : releases)
        array.append(releaseObject(r));
    return array;
}

QByteArray imageBytes(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    for (int y = 0; y < height / 2; ++y) {
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(220, 180, 40));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

} // namespace

QString MbRelease::id() const { return mbid(QStringLiteral("release ") + key); }
QString MbRelease::releaseGroupId() const { return mbid(QStringLiteral("group ") + key); }

QString MbRelease::trackId(int medium, int track) const
{
    return mbid(QStringLiteral("track %1 %2 %3").arg(key).arg(medium).arg(track));
}

QString MbRelease::recordingId(int medium, int track) const
{
    return mbid(QStringLiteral("recording %1 %2 %3").arg(key).arg(medium).arg(track));
}

QByteArray mbDiscReply(const QString &discId, const QList<int> &offsets, int sectors,
                       const QList<MbRelease> &releases)
{
    QJsonArray offsetArray;
    for (int offset : offsets)
        offsetArray.append(offset);
    const QJsonObject disc{{"id", discId}, {"offset-count", int(offsets.size())}, {"offsets", offsetArray},
                           {"sectors", sectors}, {"releases", releaseArray(releases)}};
    return QJsonDocument(disc).toJson(QJsonDocument::Compact);
}

QByteArray mbTocReply(const QList<MbRelease> &releases)
{
    const QJsonObject list{{"release-count", int(releases.size())}, {"release-offset", 0},
                           {"releases", releaseArray(releases)}};
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

QByteArray coverJpeg(int width, int height)
{
    return imageBytes(width, height, "JPEG");
}

QByteArray coverPng(int width, int height)
{
    return imageBytes(width, height, "PNG");
}

QByteArray pngHeaderClaiming(int width, int height)
{
    const QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height))
                              + QByteArray("\x08\x02\x00\x00\x00", 5);
    // A zlib stream of a few empty rows: far fewer than the header promises.
    const QByteArray data = QByteArray::fromHex("789c636000000000010001");
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", data)
           + pngChunk("IEND", {});
}
