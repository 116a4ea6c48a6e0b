#include "lookup/http_fetcher.h"

#include "disc/text_decoding.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

// How far Qt may read ahead of us; without a bound it buffers a whole reply, however large.
constexpr qint64 kReadAhead = 64 * 1024;

bool isLoopback(const QUrl &url)
{
    const QHostAddress address(url.host());
    return url.host() == QLatin1String("localhost") || (!address.isNull() && address.isLoopback());
}

// Collects one reply's body as it arrives and gives up once it passes the bound.
class BoundedBody {
public:
    BoundedBody(QNetworkReply &reply, qint64 maxBytes) : m_reply(reply), m_maxBytes(maxBytes) {}

    bool refused() const { return m_refused; }
    QByteArray take() { return std::move(m_body); }

    // A length announced beyond the bound needs no reading at all.
    void checkAnnouncedLength()
    {
        const QVariant length = m_reply.header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes)
            refuse();
    }

    void drain()
    {
        while (!m_refused && m_reply.bytesAvailable() > 0) {
            const qint64 room = m_maxBytes + 1 - m_body.size();
            m_body += m_reply.read(std::min(m_reply.bytesAvailable(), room));
            if (m_body.size() > m_maxBytes)
                refuse();
        }
    }

private:
    void refuse()
    {
        m_refused = true;
        m_body.clear();
        m_reply.abort(); // emits finished, which ends the wait
    }

    QNetworkReply &m_reply;
    qint64 m_maxBytes;
    QByteArray m_body;
    bool m_refused = false;
};

} // namespace

QUrl serverUrl(const QString &address, const QString &path)
{
    QString text = address.trimmed();
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    QUrl url(text);
    url.setPath(path);
    return url;
}

QString serverWords(const QByteArray &text)
{
    const qsizetype lineEnd = text.indexOf('\n');
    QString words = fromUtf8OrLatin1(text.left(lineEnd < 0 ? text.size() : lineEnd).trimmed().left(200));
    for (QChar &c : words) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return words;
}

QByteArray userAgent()
{
    return QByteArrayLiteral("Harvelo/" HARVELO_VERSION " ( " HARVELO_CONTACT " )");
}

HttpFetcher::HttpFetcher(const QUrl &server)
{
    if (isLoopback(server))
        m_manager.setProxy(QNetworkProxy::NoProxy);
}

std::optional<QByteArray> HttpFetcher::get(const QUrl &url, const QDeadlineTimer &deadline,
                                           qint64 maxBytes)
{
    std::optional<HttpReply> reply = request(url, deadline, maxBytes);
    if (!reply || reply->status != 200)
        return std::nullopt;
    return std::move(reply->body);
}

std::optional<HttpReply> HttpFetcher::request(const QUrl &url, const QDeadlineTimer &deadline,
                                              qint64 maxBytes)
{
    if (deadline.hasExpired())
        return std::nullopt;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    const std::unique_ptr<QNetworkReply> reply(m_manager.get(request));
    reply->setReadBufferSize(kReadAhead);
    BoundedBody body(*reply, maxBytes);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop,
                     [&body] { body.checkAnnouncedLength(); });
    QObject::connect(reply.get(), &QIODevice::readyRead, &loop, [&body] { body.drain(); });
    timer.start(std::max<qint64>(1, deadline.remainingTime()));
    if (!reply->isFinished())
        loop.exec();
    if (!reply->isFinished() || deadline.hasExpired()) {
        reply->abort();
        return std::nullopt;
    }
    body.drain();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Qt flags an HTTP error status as an error too; a 200 with one was cut off.
    const bool cut = status == 200 && reply->error() != QNetworkReply::NoError;
    // A status line without a status of the five classes (none, or "-9999") is no HTTP reply.
    const bool noStatus = status < 100 || status > 599;
    if (body.refused() || noStatus || cut)
        return std::nullopt;
    return HttpReply{status, reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(),
                     reply->rawHeader("Retry-After"), status == 200 ? body.take() : QByteArray()};
}
