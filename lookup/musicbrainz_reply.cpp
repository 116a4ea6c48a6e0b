#include "lookup/musicbrainz_reply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace {

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString().trimmed();
}

// MBIDs are UUIDs; anything else in their place is dropped rather than written into tags.
QString mbid(const QJsonObject &object, const char *key)
{
    static const QRegularExpression uuid(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    const QString id = object.value(QLatin1String(key)).toString();
    return uuid.match(id).hasMatch() ? id : QString();
}

QJsonArray array(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toArray();
}

// "Artist A & Artist B feat. C": every credited name followed by its join phrase.
QString artistCredit(const QJsonObject &object)
{
    QString joined;
    for (const QJsonValue &credit : array(object, "artist-credit")) {
        const QJsonObject c = credit.toObject();
        QString name = c.value(QLatin1String("name")).toString();
        if (name.isEmpty())
            name = c.value(QLatin1String("artist")).toObject().value(QLatin1String("name")).toString();
        joined += name + c.value(QLatin1String("joinphrase")).toString();
    }
    return joined.trimmed();
}

qint64 lengthOf(const QJsonObject &object)
{
    const QJsonValue length = object.value(QLatin1String("length"));
    return length.isDouble() && length.toDouble() >= 0 && length.toDouble() < 1e9
               ? qint64(length.toDouble())
               : -1;
}

MusicBrainzTrack parseTrack(const QJsonObject &t)
{
    const QJsonObject recording = t.value(QLatin1String("recording")).toObject();
    MusicBrainzTrack track;
    track.id = mbid(t, "id");
    track.title = text(t, "title");
    if (track.title.isEmpty())
        track.title = text(recording, "title");
    track.artist = artistCredit(t);
    if (track.artist.isEmpty())
        track.artist = artistCredit(recording);
    track.recordingId = mbid(recording, "id");
    track.lengthMs = lengthOf(t);
    if (track.lengthMs < 0)
        track.lengthMs = lengthOf(recording);
    return track;
}

MusicBrainzMedium parseMedium(const QJsonObject &m)
{
    MusicBrainzMedium medium;
    medium.position = m.value(QLatin1String("position")).toInt();
    medium.format = text(m, "format");
    for (const QJsonValue &disc : array(m, "discs")) {
        const QString id = disc.toObject().value(QLatin1String("id")).toString();
        if (!id.isEmpty() && medium.discIds.size() < kMaxReleases)
            medium.discIds.append(id.left(64));
    }
    for (const QJsonValue &track : array(m, "tracks")) {
        if (medium.tracks.size() == kMaxTracks)
            break;
        medium.tracks.append(parseTrack(track.toObject()));
    }
    medium.trackCount = std::clamp(m.value(QLatin1String("track-count")).toInt(int(medium.tracks.size())),
                                   0, 999);
    return medium;
}

MusicBrainzRelease parseRelease(const QJsonObject &r)
{
    MusicBrainzRelease release;
    release.id = mbid(r, "id");
    release.title = text(r, "title");
    release.artist = artistCredit(r);
    release.date = text(r, "date");
    release.country = text(r, "country");
    release.barcode = text(r, "barcode");
    release.releaseGroupId = mbid(r.value(QLatin1String("release-group")).toObject(), "id");
    for (const QJsonValue &medium : array(r, "media")) {
        if (release.media.size() == kMaxMedia)
            break;
        release.media.append(parseMedium(medium.toObject()));
    }
    return release;
}

} // namespace

std::optional<QList<MusicBrainzRelease>> parseMusicBrainzDiscReply(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    const QJsonValue releases = root.value(QLatin1String("releases"));
    // A CD stub names a disc and its tracks without any release; other objects name nothing.
    if (!releases.isArray())
        return root.value(QLatin1String("id")).isString() ? std::optional(QList<MusicBrainzRelease>())
                                                          : std::nullopt;
    QList<MusicBrainzRelease> result;
    for (const QJsonValue &release : releases.toArray()) {
        if (result.size() == kMaxReleases)
            break;
        if (release.isObject())
            result.append(parseRelease(release.toObject()));
    }
    return result;
}
