#include "audio/accuraterip_client.h"

#include "audio/accuraterip_disc_id.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

namespace {

constexpr qint64 kMaxReplyBytes = 1 << 20;
constexpr int kHttpNotFound = 404;

bool isLoopback(const QUrl &url)
{
    const QHostAddress address(url.host());
    return url.host() == QLatin1String("localhost") || (!address.isNull() && address.isLoopback());
}

struct HttpResult {
    bool answered = false;
    int status = 0;
    QByteArray body;
};

// One GET under the time-out; a reply larger than the bound is dropped as no answer.
HttpResult get(const QUrl &url, int timeoutMs)
{
    QNetworkAccessManager manager;
    if (isLoopback(url))
        manager.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [r = reply.get()](qint64 received, qint64) {
                         if (received > kMaxReplyBytes)
                             r->abort();
                     });
    timer.start(std::max(1, timeoutMs));
    loop.exec();
    HttpResult result;
    if (!reply->isFinished()) {
        reply->abort();
        return result;
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.answered = result.status != 0 && reply->error() != QNetworkReply::OperationCanceledError;
    if (reply->error() == QNetworkReply::NoError)
        result.body = reply->readAll();
    return result;
}

} // namespace

AccurateRipClient::AccurateRipClient(QString server, int timeoutMs)
    : m_server(std::move(server)), m_timeoutMs(timeoutMs)
{
}

QString AccurateRipClient::urlFor(const AccurateRipDiscId &id) const
{
    QString address = m_server.trimmed();
    if (!address.contains(QLatin1String("://")))
        address.prepend(QLatin1String("http://"));
    QUrl url(address);
    url.setPath(id.urlPath());
    return url.toString();
}

AccurateRipAnswer AccurateRipClient::lookup(const AccurateRipDiscId &id) const
{
    const QUrl url(urlFor(id));
    if (id.isEmpty() || !url.isValid() || url.host().isEmpty())
        return {};
    const HttpResult reply = get(url, m_timeoutMs);
    if (reply.answered && reply.status == kHttpNotFound)
        return {AccurateRipAnswer::NotPresent, {}};
    if (!reply.answered || reply.status != 200)
        return {};
    auto pressings = parseDbar(reply.body);
    if (!pressings)
        return {AccurateRipAnswer::Broken, {}};
    return {AccurateRipAnswer::Found, std::move(*pressings)};
}
