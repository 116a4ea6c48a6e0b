#include "rip/track_list_format.h"

#include "rip/output_naming.h"
#include "tags/genres.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace tracklist {

QString lengthText(int milliseconds)
{
    const int seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

// Two decimals, but never more than five significant digits: past 999 MB fewer decimals are
// kept and the rest are shown as zeros.
QString fixedFiveDigits(double value)
{
    const int integerDigits = value >= 1.0 ? int(std::floor(std::log10(value))) + 1 : 1;
    const int decimals = std::clamp(5 - integerDigits, 0, 2);
    QString text = QString::number(value, 'f', decimals);
    if (decimals == 0)
        text += QLatin1Char('.');
    return text + QString(2 - decimals, QLatin1Char('0'));
}

QString asciiUpper(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

} // namespace

QString sizeText(qint64 frames)
{
    const double megabytes = double(frames) / 1024 / 1024 * 4;
    QString text = fixedFiveDigits(megabytes);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text + QStringLiteral("MB");
}

QString trackName(const QString &title, int track)
{
    // A title of control characters alone names nothing a file or a list can show.
    const bool untitled = std::all_of(title.cbegin(), title.cend(), isControlCharacter);
    return untitled ? QStringLiteral("Track") + QString::number(track) : title;
}

int genreIndex(const QString &genre)
{
    const QString wanted = asciiUpper(genre);
    for (size_t i = 0; i < genre_names.size(); ++i) {
        if (asciiUpper(QString::fromLatin1(genre_names[i])) == wanted)
            return int(i);
    }
    return -1;
}

} // namespace tracklist
