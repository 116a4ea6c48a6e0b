#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <optional>

class QUrl;

// A server as the settings give it ("host", "host:port" or a URL with a scheme; http:// when it
// has none) with `path` as the URL's path.
QUrl serverUrl(const QString &address, const QString &path);

// What a server answered in time: its HTTP status with its reason phrase, the Retry-After
// header (of a 503), and the body of a 200.
struct HttpReply {
    int status = 0;
    QByteArray reason;
    QByteArray retryAfter;
    QByteArray body;
};

// A server's own words for a message or a log: the first line, at most 200 characters, read as
// UTF-8 (else Latin-1), control characters as blanks.
QString serverWords(const QByteArray &text);

// "Harvelo/<version> ( <contact> )": every request names the program, as the services ask.
QByteArray userAgent();

// HTTP GETs whose replies are bounded in size and in time: the one place where the program
// takes a reply from a server, so a hostile or broken server can neither hold a lookup past its
// time-out nor fill the memory. Usable from any thread: the network objects live on the thread
// that makes the fetcher, and each get() runs a local event loop there.
class HttpFetcher {
public:
    // No lookup answer comes near this; a larger reply is refused.
    static constexpr qint64 kMaxReplyBytes = 1 << 20;

    // `server` only chooses the proxy: loopback addresses are always reached directly.
    explicit HttpFetcher(const QUrl &server);

    // The body of an HTTP 200 reply. Nothing when the deadline passes first, the server fails
    // or answers another status, or the body passes maxBytes. The bytes are counted as they
    // arrive, so a reply is dropped once it passes the bound, whatever length it announces.
    std::optional<QByteArray> get(const QUrl &url, const QDeadlineTimer &deadline,
                                  qint64 maxBytes = kMaxReplyBytes);
    // The same GET, for callers that tell one HTTP status from another (a 404 says something):
    // nothing when no whole HTTP answer came in time within the bound.
    std::optional<HttpReply> request(const QUrl &url, const QDeadlineTimer &deadline,
                                     qint64 maxBytes = kMaxReplyBytes);

private:
    QNetworkAccessManager m_manager;
};
