#include "lookup/disc_names.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const QLatin1String kArtistSeparator(" / ");

QString cutName(const QString &name)
{
    if (name.size() <= DiscNames::kMaxNameLength)
        return name;
    qsizetype end = DiscNames::kMaxNameLength;
    if (name.at(end - 1).isHighSurrogate())
        --end;
    return name.left(end);
}

QStringList cutNames(const QStringList &names)
{
    QStringList result;
    for (const QString &name : names)
        result.append(cutName(name));
    return result;
}

void fillList(QStringList &mine, const QStringList &theirs)
{
    for (qsizetype i = 0; i < theirs.size(); ++i) {
        if (i >= mine.size())
            mine.append(theirs[i]);
        else if (mine[i].isEmpty())
            mine[i] = theirs[i];
    }
}

} // namespace

QString CoverArt::suffix() const
{
    return mimeType == QLatin1String("image/png") ? QStringLiteral("png") : QStringLiteral("jpg");
}

bool DiscNames::isEmpty() const
{
    return artist.isEmpty() && album.isEmpty() && genre.isEmpty()
           && std::all_of(titles.cbegin(), titles.cend(), [](const QString &t) { return t.isEmpty(); });
}

QString DiscNames::ownArtist(qsizetype index) const
{
    const QString own = trackArtists.value(index);
    return own == artist ? QString() : own;
}

QString DiscNames::shownTitle(qsizetype index) const
{
    const QString own = ownArtist(index);
    const QString title = titles.value(index);
    return own.isEmpty() ? title : own + kArtistSeparator + title;
}

DiscNames DiscNames::filledFrom(const DiscNames &other) const
{
    DiscNames result = *this;
    const auto fill = [](QString &mine, const QString &theirs) {
        if (mine.isEmpty())
            mine = theirs;
    };
    fill(result.artist, other.artist);
    fill(result.album, other.album);
    fill(result.genre, other.genre);
    fill(result.date, other.date);
    fillList(result.titles, other.titles);
    fillList(result.trackArtists, other.trackArtists);
    return result;
}

DiscNames DiscNames::shortened() const
{
    DiscNames result = *this;
    result.artist = cutName(artist);
    result.album = cutName(album);
    result.genre = cutName(genre);
    result.date = cutName(date);
    result.titles = cutNames(titles);
    result.trackArtists = cutNames(trackArtists);
    return result;
}

QString releaseDate(const QString &text)
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}(-\\d{2}(-\\d{2})?)?$"));
    return date.match(text).hasMatch() ? text : QString();
}

bool isVariousArtists(const QString &artist)
{
    return artist.trimmed().startsWith(QLatin1String("various"), Qt::CaseInsensitive);
}

ShownTitle splitShownTitle(const QString &shown)
{
    const qsizetype at = shown.indexOf(kArtistSeparator);
    if (at <= 0)
        return {{}, shown};
    return {shown.left(at).trimmed(), shown.mid(at + kArtistSeparator.size()).trimmed()};
}
