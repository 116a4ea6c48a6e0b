#include "lookup/musicbrainz_client.h"

#include "disc/freedb_disc_id.h"
#include "lookup/http_fetcher.h"

#include <QDeadlineTimer>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHttpNotFound = 404;
constexpr int kHttpUnavailable = 503;
constexpr std::chrono::milliseconds kRequestInterval{1000};

// MusicBrainz serves each client one request a second. The pause runs from the end of one
// request to the start of the next, so the server sees them a second apart whatever the
// network's delays; a second thread waits its turn.
class PacedTurn {
public:
    explicit PacedTurn(const QDeadlineTimer &deadline) : m_lock(s_mutex)
    {
        const Clock::time_point now = Clock::now();
        if (s_next <= now)
            return;
        if (deadline.remainingTimeAsDuration() <= s_next - now) {
            m_granted = false;
            return;
        }
        std::this_thread::sleep_until(s_next);
    }
    ~PacedTurn()
    {
        if (m_granted)
            s_next = Clock::now() + kRequestInterval;
    }
    PacedTurn(const PacedTurn &) = delete;
    PacedTurn &operator=(const PacedTurn &) = delete;
    bool granted() const { return m_granted; }

private:
    static inline std::mutex s_mutex;
    static inline Clock::time_point s_next;
    std::unique_lock<std::mutex> m_lock;
    bool m_granted = true;
};

// Seconds as the header gives them; an HTTP date or nothing counts as one second.
std::chrono::milliseconds retryAfter(const HttpReply &reply)
{
    bool ok = false;
    const int seconds = reply.retryAfter.trimmed().toInt(&ok);
    return ok && seconds >= 0 ? std::chrono::milliseconds(qint64(seconds) * 1000) : kRequestInterval;
}

// A 503 is waited out once and asked again; everything else is the answer.
std::optional<HttpReply> pacedRequest(HttpFetcher &http, const QUrl &url, const QDeadlineTimer &deadline)
{
    for (int attempt = 1;; ++attempt) {
        std::optional<HttpReply> reply;
        {
            const PacedTurn turn(deadline);
            if (!turn.granted())
                return std::nullopt;
            reply = http.request(url, deadline, MusicBrainzClient::kMaxReplyBytes);
        }
        if (!reply || reply->status != kHttpUnavailable || attempt == 2)
            return reply;
        const std::chrono::milliseconds wait = retryAfter(*reply);
        if (deadline.remainingTimeAsDuration() <= wait)
            return reply;
        std::this_thread::sleep_for(wait);
    }
}

// One request's outcome: the releases the reply names (none for a disc the server does not
// know), or what went wrong.
struct Outcome {
    QList<MusicBrainzRelease> releases;
    QString problem;
};

Outcome fetchReleases(HttpFetcher &http, const QUrl &url, const QDeadlineTimer &deadline,
                      int timeoutMs)
{
    const QString host = url.host() + QStringLiteral(" (MusicBrainz): ");
    const QString late = host + QStringLiteral("no usable answer within %1 ms").arg(timeoutMs);
    const std::optional<HttpReply> reply = pacedRequest(http, url, deadline);
    if (!reply)
        return {{}, late};
    if (reply->status == kHttpNotFound)
        return {};
    if (reply->status != 200)
        return {{}, host + QString::number(reply->status) + QLatin1Char(' ') + serverWords(reply->reason)};
    const auto releases = parseMusicBrainzDiscReply(reply->body);
    // Reading the answer is part of the lookup: a reply that takes too long to parse is as
    // late as one that arrives too late.
    if (deadline.hasExpired())
        return {{}, late};
    if (!releases)
        return {{}, host + QStringLiteral("the reply is no MusicBrainz disc answer")};
    return {*releases, {}};
}

} // namespace

MusicBrainzClient::MusicBrainzClient(QString server, int timeoutMs)
    : m_server(std::move(server)), m_timeoutMs(timeoutMs)
{
}

QUrl MusicBrainzClient::discUrl(const QString &discId, const QString &toc) const
{
    QUrl url = serverUrl(m_server, QStringLiteral("/ws/2/discid/") + discId);
    QString query;
    if (!toc.isEmpty())
        query = QStringLiteral("toc=") + QString(toc).replace(QLatin1Char(' '), QLatin1Char('+')) + QLatin1Char('&');
    url.setQuery(query + QStringLiteral("inc=recordings+artist-credits+release-groups&fmt=json"));
    return url;
}

MusicBrainzAnswer MusicBrainzClient::lookup(const FreedbToc &session) const
{
    const QString id = session.musicBrainzId();
    const QUrl direct = discUrl(id);
    if (id.isEmpty() || !direct.isValid() || direct.host().isEmpty())
        return {};
    const QDeadlineTimer deadline(std::max(1, m_timeoutMs));
    HttpFetcher http(direct);
    const MusicBrainzDisc disc{id, session.trackLengthsMs()};
    Outcome outcome = fetchReleases(http, direct, deadline, m_timeoutMs);
    QList<ReleaseCandidate> candidates = discCandidates(outcome.releases, disc);
    // An unknown ID: releases whose track lengths fit the disc's TOC may still be it.
    if (candidates.isEmpty() && outcome.problem.isEmpty()) {
        outcome = fetchReleases(http, discUrl(id, session.musicBrainzToc()), deadline, m_timeoutMs);
        candidates = discCandidates(outcome.releases, disc);
    }
    if (candidates.isEmpty() && outcome.problem.isEmpty())
        outcome.problem = direct.host() + QStringLiteral(" (MusicBrainz): no release holds disc ") + id;
    return {candidates, candidates.isEmpty() ? outcome.problem : QString()};
}
