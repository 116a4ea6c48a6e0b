#include "lookup/cddb_client.h"
#include "lookup/cddb_reply.h"

#include "disc/freedb_disc_id.h"
#include "lookup/http_fetcher.h"
#include "lookup/xmcd_entry.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

namespace {

struct Match {
    QString category;
    QString discId;
};

// Protocol arguments are separated by '+'; anything else that is not plain is percent-encoded.
QString plusJoined(const QStringList &words)
{
    QStringList encoded;
    for (const QString &word : words)
        encoded.append(QString::fromLatin1(QUrl::toPercentEncoding(word)));
    return encoded.join(QLatin1Char('+'));
}

QString helloArgument()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("harvelo");
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    return plusJoined({user, host, QStringLiteral("Harvelo"), QStringLiteral(HARVELO_VERSION)});
}

std::optional<Match> matchFromLine(const QByteArray &line)
{
    const QList<QByteArray> words = line.trimmed().split(' ');
    if (words.size() < 2 || words[0].isEmpty() || words[1].isEmpty())
        return std::nullopt;
    return Match{QString::fromUtf8(words[0]), QString::fromUtf8(words[1])};
}

// 200 names the one exact match; 210 lists exact matches and 211 inexact ones, one a line.
std::optional<Match> parseQueryReply(const QByteArray &reply)
{
    const QList<QByteArray> lines = reply.split('\n');
    const QByteArray status = lines.value(0).trimmed();
    if (status.startsWith("200 "))
        return matchFromLine(status.mid(4));
    if (status.startsWith("210") || status.startsWith("211")) {
        const QByteArray first = lines.value(1).trimmed();
        if (first != ".")
            return matchFromLine(first);
    }
    return std::nullopt;
}

// "210 category discid ..." followed by the entry and a line with a single full stop.
std::optional<QByteArray> parseReadReply(const QByteArray &reply)
{
    const QList<QByteArray> lines = reply.split('\n');
    if (!lines.value(0).startsWith("210"))
        return std::nullopt;
    QByteArray entry;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == ".")
            break;
        entry += line + '\n';
    }
    return entry;
}

} // namespace

CddbClient::CddbClient(QString serverAddress, QString cgiScript, int timeoutMs)
    : m_address(std::move(serverAddress)), m_script(std::move(cgiScript)), m_timeoutMs(timeoutMs)
{
}

QString CddbClient::serverUrl() const
{
    QString script = m_script.trimmed();
    if (!script.startsWith(QLatin1Char('/')))
        script.prepend(QLatin1Char('/'));
    return ::serverUrl(m_address, script).toString();
}

namespace {

// The reply's status line as the server wrote it, for telling what it answered.
QString statusLine(const QByteArray &reply)
{
    static const QRegularExpression status(QStringLiteral("^[1-5][0-9][0-9]( |$)"));
    const QString text = serverWords(reply);
    return status.match(text).hasMatch() ? text : QStringLiteral("the reply is no CDDB answer");
}

// One command's reply: the body of an HTTP 200, else what went wrong in `problem`.
std::optional<QByteArray> ask(HttpFetcher &http, const QUrl &url, const QDeadlineTimer &deadline,
                              int timeoutMs, QString *problem)
{
    const std::optional<HttpReply> reply = http.request(url, deadline);
    if (!reply)
        *problem = QStringLiteral("no usable answer within %1 ms").arg(timeoutMs);
    else if (reply->status != 200)
        *problem = QString::number(reply->status) + QLatin1Char(' ') + serverWords(reply->reason);
    else
        return reply->body;
    return std::nullopt;
}

} // namespace

CddbAnswer CddbClient::lookup(const FreedbToc &toc) const
{
    const QUrl base(serverUrl());
    if (toc.isEmpty() || !base.isValid() || base.host().isEmpty())
        return {};
    const QDeadlineTimer deadline(std::max(1, m_timeoutMs));
    HttpFetcher http(base);
    const auto command = [&base](const QString &words) {
        QUrl url = base;
        url.setQuery(QStringLiteral("cmd=%1&hello=%2&proto=6")
                         .arg(plusJoined(words.split(QLatin1Char(' '))), helloArgument()));
        return url;
    };
    CddbAnswer answer;
    const auto fail = [&answer, &base](const QString &what) {
        answer.problem = base.host() + QStringLiteral(": ") + what;
        return answer;
    };
    QString problem;
    const auto queryReply = ask(http, command(QStringLiteral("cddb query ") + toc.queryArguments()),
                                deadline, m_timeoutMs, &problem);
    if (!queryReply)
        return fail(problem);
    const std::optional<Match> match = parseQueryReply(*queryReply);
    if (!match)
        return fail(statusLine(*queryReply));
    const auto readReply = ask(http, command(QStringLiteral("cddb read %1 %2").arg(match->category, match->discId)),
                               deadline, m_timeoutMs, &problem);
    if (!readReply)
        return fail(problem);
    const std::optional<QByteArray> entry = parseReadReply(*readReply);
    if (!entry)
        return fail(statusLine(*readReply));
    answer.names = parseXmcdEntry(*entry, match->category);
    // Reading the answer is part of the lookup: a reply that takes too long to parse is as
    // late as one that arrives too late.
    if (deadline.hasExpired()) {
        answer.names.reset();
        return fail(QStringLiteral("no usable answer within %1 ms").arg(m_timeoutMs));
    }
    if (!answer.names)
        return fail(QStringLiteral("the entry names nothing"));
    // Words of the server's, shown in the log: no longer than a category or an ID can be.
    answer.category = match->category.left(64);
    answer.discId = match->discId.left(64);
    return answer;
}

std::optional<CddbMatch> parseCddbQueryReply(const QByteArray &reply)
{
    const std::optional<Match> match = parseQueryReply(reply);
    if (!match)
        return std::nullopt;
    return CddbMatch{match->category, match->discId};
}

std::optional<QByteArray> parseCddbReadReply(const QByteArray &reply)
{
    return parseReadReply(reply);
}
