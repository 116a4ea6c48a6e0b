#include "tests/support/cddb_test_server.h"
#include "jobs/job_control.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <memory>

namespace {

QString commandOf(const QByteArray &requestLine)
{
    const QList<QByteArray> parts = requestLine.split(' ');
    const QUrl url(QString::fromLatin1(parts.value(1)));
    QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    for (const QByteArray &item : query.split('&')) {
        if (item.startsWith("cmd="))
            return QUrl::fromPercentEncoding(item.mid(4).replace('+', ' '));
    }
    return {};
}

QString pathOf(const QByteArray &requestLine)
{
    return QUrl(QString::fromLatin1(requestLine.split(' ').value(1))).path();
}

QString queryOf(const QByteArray &requestLine)
{
    return QUrl(QString::fromLatin1(requestLine.split(' ').value(1))).query(QUrl::FullyEncoded);
}

QByteArray httpHead(const QByteArray &status)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain; charset=UTF-8\r\n";
}

QByteArray httpResponse(const QByteArray &status, const QByteArray &body)
{
    return httpHead(status) + "Content-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

CddbTestServer::CddbTestServer()
{
    m_clock.start();
    m_anchor = new QObject;
    m_anchor->moveToThread(&m_thread);
    m_thread.start();
    runOn(m_anchor, [this] {
        m_server = new QTcpServer;
        m_server->listen(QHostAddress::LocalHost);
        m_port = m_server->serverPort();
        connect(m_server, &QTcpServer::newConnection, m_server, [this] { onNewConnection(); });
    });
}

CddbTestServer::~CddbTestServer()
{
    runOn(m_anchor, [this] { delete m_server; });
    m_thread.quit();
    m_thread.wait();
    delete m_anchor;
}

QString CddbTestServer::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void CddbTestServer::setBehaviour(Behaviour behaviour)
{
    std::unique_lock lock(m_mutex);
    m_behaviour = behaviour;
}

void CddbTestServer::setBehaviourFor(const QString &pathPrefix, Behaviour behaviour)
{
    std::unique_lock lock(m_mutex);
    m_pathBehaviours.insert(pathPrefix, behaviour);
}

void CddbTestServer::setTocReply(const QByteArray &bytes)
{
    std::unique_lock lock(m_mutex);
    m_tocReply = bytes;
}

QList<qint64> CddbTestServer::requestTimes() const
{
    std::unique_lock lock(m_mutex);
    return m_times;
}

// The longest prefix with a behaviour of its own that starts `path`; empty for none.
QString CddbTestServer::prefixOf(const QString &path) const
{
    QString longest;
    for (auto it = m_pathBehaviours.cbegin(); it != m_pathBehaviours.cend(); ++it) {
        if (path.startsWith(it.key()) && it.key().size() > longest.size())
            longest = it.key();
    }
    return longest;
}

CddbTestServer::Behaviour CddbTestServer::behaviourFor(const QString &path) const
{
    const QString prefix = prefixOf(path);
    return prefix.isEmpty() ? m_behaviour : m_pathBehaviours.value(prefix);
}

void CddbTestServer::setQueryReply(const QByteArray &reply)
{
    std::unique_lock lock(m_mutex);
    m_queryReply = reply;
}

void CddbTestServer::setEntry(const QString &category, const QString &discId, const QByteArray &entry)
{
    std::unique_lock lock(m_mutex);
    m_entries.insert(category + QLatin1Char(' ') + discId, entry);
}

void CddbTestServer::setFile(const QString &path, const QByteArray &bytes)
{
    std::unique_lock lock(m_mutex);
    m_files.insert(path, bytes);
}

void CddbTestServer::setRedirect(const QString &path, const QByteArray &location)
{
    std::unique_lock lock(m_mutex);
    m_redirects.insert(path, location);
}

QStringList CddbTestServer::paths() const
{
    std::unique_lock lock(m_mutex);
    return m_paths;
}

QStringList CddbTestServer::commands() const
{
    std::unique_lock lock(m_mutex);
    return m_commands;
}

QList<QByteArray> CddbTestServer::requestHeads() const
{
    std::unique_lock lock(m_mutex);
    return m_heads;
}

qint64 CddbTestServer::mostBytesSent() const
{
    std::unique_lock lock(m_mutex);
    return m_mostBytesSent;
}

QByteArray CddbTestServer::exactMatch(const QString &category, const QString &discId,
                                      const QString &title)
{
    return QStringLiteral("200 %1 %2 %3\r\n").arg(category, discId, title).toUtf8();
}

QByteArray CddbTestServer::matchList(int code, const QStringList &lines)
{
    const char *text = code == 210 ? "Found exact matches, list follows (until terminating `.')"
                                   : "Found inexact matches, list follows (until terminating `.')";
    QByteArray reply = QByteArray::number(code) + ' ' + text + "\r\n";
    for (const QString &line : lines)
        reply += line.toUtf8() + "\r\n";
    return reply + ".\r\n";
}

QByteArray CddbTestServer::noMatch()
{
    return "202 No match found\r\n";
}

void CddbTestServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto sent = std::make_shared<qint64>(0);
        connect(socket, &QTcpSocket::bytesWritten, socket, [this, sent](qint64 bytes) {
            *sent += bytes;
            std::unique_lock lock(m_mutex);
            m_mostBytesSent = std::max(m_mostBytesSent, *sent);
        });
    }
}

void CddbTestServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    head.truncate(end);
    const QByteArray requestLine = head.left(head.indexOf("\r\n"));
    const QString command = commandOf(requestLine);
    const QString path = pathOf(requestLine);
    std::unique_lock lock(m_mutex);
    m_heads.append(head);
    m_commands.append(command);
    m_paths.append(path);
    m_times.append(m_clock.elapsed());
    const Behaviour behaviour = behaviourFor(path);
    lock.unlock();
    const bool flooding = behaviour == Behaviour::Flood || behaviour == Behaviour::FloodAnnounced;
    if (flooding && (command.isEmpty() || command.startsWith(QLatin1String("cddb read ")))) {
        flood(socket, behaviour == Behaviour::FloodAnnounced,
              command.isEmpty() ? QByteArray("{\"releases\":[{\"title\":\"")
                                : QByteArray("210 misc 00000000 CD database entry follows (until terminating `.')\r\n"
                                             "DTITLE="));
        return;
    }
    const QByteArray response = responseFor(command, path, queryOf(requestLine));
    if (response.isNull())
        return;
    if (behaviour == Behaviour::Drip) {
        drip(socket, response);
        return;
    }
    socket->write(response);
    socket->disconnectFromHost();
}

// Keeps about a megabyte queued, so the flood is never held in memory here.
void CddbTestServer::flood(QTcpSocket *socket, bool announced, const QByteArray &start)
{
    const QByteArray end = "\r\n.\r\n";
    const QByteArray length = "Content-Length: "
                              + QByteArray::number(start.size() + kFloodBytes + end.size()) + "\r\n";
    socket->write(httpHead("200 OK") + (announced ? length : QByteArray()) + "Connection: close\r\n\r\n"
                  + start);
    auto queued = std::make_shared<qint64>(0);
    const auto refill = [socket, queued, end] {
        static const QByteArray piece(256 * 1024, 'A');
        if (*queued >= kFloodBytes)
            return;
        while (socket->bytesToWrite() < 1024 * 1024 && *queued < kFloodBytes) {
            socket->write(piece);
            *queued += piece.size();
        }
        if (*queued >= kFloodBytes) {
            socket->write(end);
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}

void CddbTestServer::drip(QTcpSocket *socket, const QByteArray &response)
{
    auto *timer = new QTimer(socket);
    auto next = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, response, next] {
        socket->write(response.mid((*next)++, 1));
        if (*next < response.size())
            return;
        timer->stop();
        socket->disconnectFromHost();
    });
    timer->start(1000);
}

// Null for a server that stays silent.
QByteArray CddbTestServer::responseFor(const QString &command, const QString &path, const QString &query)
{
    std::unique_lock lock(m_mutex);
    switch (behaviourFor(path)) {
    case Behaviour::UnavailableOnce:
        if (!m_unavailableSent.contains(prefixOf(path))) {
            m_unavailableSent.insert(prefixOf(path));
            return "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 1\r\nContent-Length: 0\r\n"
                   "Connection: close\r\n\r\n";
        }
        break;
    case Behaviour::NeverAnswer:
        return {};
    case Behaviour::QueryOnly:
        if (!command.startsWith(QLatin1String("cddb query ")))
            return {};
        break;
    case Behaviour::HttpError:
        return httpResponse("500 Internal Server Error", "Internal Server Error\r\n");
    case Behaviour::Garbage: {
        static const char junk[] = "\x89PNG\r\n\x1a\n\0\0garbage\xff\xfe\n.\n";
        return httpResponse("200 OK", QByteArray(junk, sizeof junk - 1));
    }
    case Behaviour::NotHttp: {
        static const char junk[] = "\0\x01\x02 this is no reply\r\n";
        return QByteArray(junk, sizeof junk - 1);
    }
    case Behaviour::Answer:
    case Behaviour::Flood:
    case Behaviour::FloodAnnounced:
    case Behaviour::Drip:
        break;
    }
    lock.unlock();
    if (command.isEmpty())
        return fileResponse(path, query);
    return httpResponse("200 OK", replyFor(command));
}

QByteArray CddbTestServer::fileResponse(const QString &path, const QString &query) const
{
    std::unique_lock lock(m_mutex);
    if (path.startsWith(QLatin1String("/ws/2/discid/")) && query.contains(QLatin1String("toc="))) {
        if (m_tocReply.isNull())
            return httpResponse("404 Not Found", "{\"error\": \"Not Found\"}");
        return httpResponse("200 OK", m_tocReply);
    }
    if (m_redirects.contains(path))
        return httpHead("307 Temporary Redirect") + "Location: " + m_redirects.value(path)
               + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    if (!m_files.contains(path))
        return httpResponse("404 Not Found", "Not Found\r\n");
    return httpResponse("200 OK", m_files.value(path));
}

QByteArray CddbTestServer::replyFor(const QString &command) const
{
    std::unique_lock lock(m_mutex);
    const QStringList words = command.split(QLatin1Char(' '));
    if (command.startsWith(QLatin1String("cddb query ")))
        return m_queryReply;
    if (words.size() == 4 && command.startsWith(QLatin1String("cddb read "))) {
        const QString key = words[2] + QLatin1Char(' ') + words[3];
        if (m_entries.contains(key)) {
            QByteArray entry = m_entries.value(key);
            if (!entry.endsWith('\n'))
                entry += "\r\n";
            return QStringLiteral("210 %1 CD database entry follows (until terminating `.')\r\n")
                       .arg(key)
                       .toUtf8()
                   + entry + ".\r\n";
        }
        return QStringLiteral("401 %1 No such CD entry in database\r\n").arg(key).toUtf8();
    }
    return "500 Unrecognized command\r\n";
}
