#include "lookup/disc_names.h"

#include <algorithm>

bool DiscNames::isEmpty() const
{
    return artist.isEmpty() && album.isEmpty() && genre.isEmpty()
           && std::all_of(titles.cbegin(), titles.cend(), [](const QString &t) { return t.isEmpty(); });
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
    for (qsizetype i = 0; i < other.titles.size(); ++i) {
        if (i >= result.titles.size())
            result.titles.append(other.titles[i]);
        else
            fill(result.titles[i], other.titles[i]);
    }
    return result;
}

namespace {

QString cutName(const QString &name)
{
    if (name.size() <= DiscNames::kMaxNameLength)
        return name;
    qsizetype end = DiscNames::kMaxNameLength;
    if (name.at(end - 1).isHighSurrogate())
        --end;
    return name.left(end);
}

} // namespace

DiscNames DiscNames::shortened() const
{
    DiscNames result{cutName(artist), cutName(album), cutName(genre), {}};
    for (const QString &title : titles)
        result.titles.append(cutName(title));
    return result;
}
