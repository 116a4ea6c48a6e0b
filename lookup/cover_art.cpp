#include "lookup/cover_art.h"

#include "lookup/http_fetcher.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QImage>
#include <QImageReader>
#include <QUrl>

namespace {

// A JPEG ends with its end-of-image marker; the decoder would fill a cut one up with grey.
bool jpegIsWhole(const QByteArray &bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == '\0' || QChar::isSpace(uchar(bytes[end - 1]))))
        --end;
    return end >= 4 && bytes[end - 2] == '\xFF' && bytes[end - 1] == '\xD9';
}

// The magic numbers, so that no other format the image plugins know is ever taken.
QString mimeTypeOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xD8\xFF") && jpegIsWhole(bytes))
        return QStringLiteral("image/jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("image/png");
    return {};
}

} // namespace

std::optional<CoverArt> checkedCover(const QByteArray &bytes)
{
    const QString mimeType = mimeTypeOf(bytes);
    if (mimeType.isEmpty())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, mimeType == QLatin1String("image/png") ? "png" : "jpeg");
    // Well above what kMaxCoverSide needs, far below what a forged header could ask for.
    reader.setAllocationLimit(4 * kMaxCoverSide * kMaxCoverSide / (1024 * 1024) + 1);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxCoverSide || size.height() > kMaxCoverSide)
        return std::nullopt;
    const QImage image = reader.read();
    if (image.isNull() || image.size() != size)
        return std::nullopt;
    return CoverArt{bytes, mimeType};
}

CoverArt fetchFrontCover(const QString &server, const QString &releaseId, const QDeadlineTimer &deadline)
{
    const QUrl url = serverUrl(server, QStringLiteral("/release/%1/front-500").arg(releaseId));
    if (releaseId.isEmpty() || !url.isValid() || url.host().isEmpty())
        return {};
    HttpFetcher http(url);
    const std::optional<QByteArray> bytes = http.get(url, deadline, kMaxCoverBytes);
    if (!bytes || deadline.hasExpired())
        return {};
    const std::optional<CoverArt> cover = checkedCover(*bytes);
    return cover && !deadline.hasExpired() ? *cover : CoverArt{};
}
