// The bounded HTTP fetch against a server on 127.0.0.1 that answers every request with the
// input (status line, head and body, as a hostile or broken server may send them) and closes.
// Whatever comes, the fetch ends, and a reply it takes keeps to the bound.
#include "lookup/http_fetcher.h"
#include "fuzz/fuzz_support.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <memory>

namespace {

// Small, so that inputs can pass it.
constexpr qint64 kBound = 4096;
constexpr int kDeadlineMs = 5000;

// Serves m_reply once a request's head is in, then closes. It lives on the fuzzing thread, whose
// event loop runs inside the fetch.
class ReplyServer {
public:
    ReplyServer()
    {
        if (!m_server.listen(QHostAddress::LocalHost))
            fuzz::fail("no loopback port to listen on");
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(m_server.serverPort())); }
    void setReply(const QByteArray &reply) { m_reply = reply; }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                *request += socket->readAll();
                if (!request->contains("\r\n\r\n") || socket->property("served").toBool())
                    return;
                socket->setProperty("served", true);
                socket->write(m_reply);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
    QByteArray m_reply;
};

// A redirect may name any host; the fetch must never leave the loopback server here.
QByteArray withoutRedirects(QByteArray reply)
{
    const QByteArray lower = reply.toLower();
    for (qsizetype at = lower.indexOf("location"); at >= 0; at = lower.indexOf("location", at + 1))
        reply[at] = 'x';
    return reply;
}

// For the plainest replies, what the fetch must give: a 200 whose one header is its length is
// taken with that many bytes, or refused when they pass the bound or do not all come.
struct Expected {
    bool taken = false;
    QByteArray body;
};
std::optional<Expected> plainReply(const QByteArray &input)
{
    static const QRegularExpression plain(QStringLiteral("^HTTP/1\\.[01] 200 [ -~]*\r\nContent-Length: (\\d{1,4})\r\n\r\n"));
    const QRegularExpressionMatch m = plain.match(QString::fromLatin1(input));
    if (!m.hasMatch())
        return std::nullopt;
    const qsizetype length = m.captured(1).toLongLong();
    const QByteArray body = input.mid(m.capturedLength());
    if (length > kBound || body.size() < length)
        return Expected{};
    return Expected{true, body.left(length)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    static ReplyServer server;
    const QByteArray served = withoutRedirects(fuzz::bytes(data, size));
    server.setReply(served);
    HttpFetcher fetcher(server.url());
    const std::optional<HttpReply> reply =
        fetcher.request(server.url(), QDeadlineTimer(kDeadlineMs), kBound);
    if (reply && reply->status <= 0)
        fuzz::fail("a reply with no HTTP status");
    if (reply && reply->body.size() > kBound)
        fuzz::fail("a reply body past the bound");
    if (reply && reply->status != 200 && !reply->body.isEmpty())
        fuzz::fail("a body taken from a reply other than 200");
    if (const auto expected = plainReply(served)) {
        const bool taken = reply && reply->status == 200;
        if (taken != expected->taken || (taken && reply->body != expected->body))
            fuzz::fail("a plain reply taken otherwise than it came");
    }
    return 0;
}
