#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <mutex>

class QTcpServer;
class QTcpSocket;

// A CDDB server over HTTP on 127.0.0.1 for tests, which also serves files: MusicBrainz ws/2
// replies and cover art. It runs on a thread of its own, so it answers whichever thread the
// lookup blocks. "cddb query" gets the query reply; "cddb read CAT ID" gets the entry stored for
// CAT and ID, else "401"; any other GET gets the file stored for its path, else 404, and a
// ws/2 disc lookup by TOC ("toc=" in the query) gets the TOC reply. Other behaviours change the
// replies as their comments say; a behaviour may be set for the paths under one prefix only.
class CddbTestServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Answer,      // the configured replies
        NeverAnswer, // reads the request and keeps the connection open, silent
        HttpError,   // HTTP 500
        Garbage,     // HTTP 200 with bytes that are no CDDB reply
        NotHttp,     // bytes that are no HTTP reply, then closes
        QueryOnly,   // answers "cddb query", silent on everything else
        Flood,       // answers "cddb query"; the read gets an endless entry (kFloodBytes)
        FloodAnnounced, // the same, with its length in the HTTP head
        Drip,        // the configured replies, one byte a second
        UnavailableOnce, // 503 with "Retry-After: 1" to the first request, then the replies
    };
    // What Flood sends at most: an entry whose disc title is 256 MB long, in pieces. A client
    // that stops early has still been sent its own bound plus what the kernel buffers on
    // loopback (up to tcp_rmem's 32 MB and tcp_wmem's 4 MB here): tests allow a quarter.
    static constexpr qint64 kFloodBytes = 256 * 1024 * 1024;

    CddbTestServer();
    ~CddbTestServer() override;

    // "127.0.0.1:PORT", for cddbServerAddress.
    QString address() const;
    void setBehaviour(Behaviour behaviour);
    // The behaviour for requests whose path starts with `pathPrefix` (others keep the general one).
    void setBehaviourFor(const QString &pathPrefix, Behaviour behaviour);
    void setQueryReply(const QByteArray &reply);
    void setEntry(const QString &category, const QString &discId, const QByteArray &entry);
    // A plain file served for GET `path` (a request without "cmd"); other paths get 404.
    void setFile(const QString &path, const QByteArray &bytes);
    // GET `path` gets "307 Temporary Redirect" to `location`, as the Cover Art Archive sends its
    // pictures on to where they are stored.
    void setRedirect(const QString &path, const QByteArray &location);
    // The reply to every ws/2 disc lookup by TOC; unset: 404.
    void setTocReply(const QByteArray &bytes);
    // The path of every request so far.
    QStringList paths() const;
    // The "cmd" of every request so far, decoded ("cddb query 0a0b0c03 3 150 ..."), and the
    // raw request heads.
    QStringList commands() const;
    QList<QByteArray> requestHeads() const;
    // When each request's head had arrived, in ms since the server started.
    QList<qint64> requestTimes() const;
    // The most reply bytes one connection took (handed to the system, not merely queued). Per
    // connection: a lookup that asks twice may leave the system's buffers full on each.
    qint64 mostBytesSent() const;

    // Replies as a freedb server words them.
    static QByteArray exactMatch(const QString &category, const QString &discId, const QString &title);
    static QByteArray matchList(int code, const QStringList &lines);
    static QByteArray noMatch();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    QByteArray replyFor(const QString &command) const;
    QByteArray responseFor(const QString &command, const QString &path, const QString &query);
    QByteArray fileResponse(const QString &path, const QString &query) const;
    QString prefixOf(const QString &path) const;     // call with m_mutex held
    Behaviour behaviourFor(const QString &path) const; // call with m_mutex held
    void flood(QTcpSocket *socket, bool announced, const QByteArray &start);
    void drip(QTcpSocket *socket, const QByteArray &response);

    QThread m_thread;
    QObject *m_anchor = nullptr;    // lives on m_thread; runs the calls made there
    QTcpServer *m_server = nullptr; // lives on m_thread
    quint16 m_port = 0;
    mutable std::mutex m_mutex; // std::mutex: the thread sanitizer sees its hand-offs
    Behaviour m_behaviour = Behaviour::Answer;
    QHash<QString, Behaviour> m_pathBehaviours;
    QSet<QString> m_unavailableSent; // path prefixes whose one 503 went out
    QByteArray m_tocReply;
    QElapsedTimer m_clock;
    QList<qint64> m_times;
    QByteArray m_queryReply;
    QHash<QString, QByteArray> m_entries;
    QHash<QString, QByteArray> m_files;
    QHash<QString, QByteArray> m_redirects;
    QStringList m_paths;
    QStringList m_commands;
    QList<QByteArray> m_heads;
    qint64 m_mostBytesSent = 0;
};
