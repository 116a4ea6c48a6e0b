#include "app/track_list_format.h"

#include "audio/genres.h"

#include <QLocale>
#include <cmath>

namespace tracklist {

QString lengthText(int milliseconds)
{
    const int seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

double roundToSignificant(double value, int digits)
{
    if (value == 0.0)
        return 0.0;
    const int magnitude = int(std::floor(std::log10(std::fabs(value)))) + 1;
    const double scale = std::pow(10.0, digits - magnitude);
    return std::round(value * scale) / scale;
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
    QString text = QString::number(roundToSignificant(megabytes, 5), 'f', 2);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text + QStringLiteral("MB");
}

QString trackName(const QString &title, int track)
{
    return title.isEmpty() ? QStringLiteral("Track") + QString::number(track) : title;
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
