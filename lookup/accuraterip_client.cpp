#include "lookup/accuraterip_client.h"

#include "disc/accuraterip_disc_id.h"
#include "lookup/http_fetcher.h"

#include <QUrl>
#include <algorithm>

namespace {

constexpr int kHttpNotFound = 404;

} // namespace

AccurateRipClient::AccurateRipClient(QString server, int timeoutMs)
    : m_server(std::move(server)), m_timeoutMs(timeoutMs)
{
}

QString AccurateRipClient::urlFor(const AccurateRipDiscId &id) const
{
    return serverUrl(m_server, id.urlPath()).toString();
}

AccurateRipAnswer AccurateRipClient::lookup(const AccurateRipDiscId &id) const
{
    const QUrl url = serverUrl(m_server, id.urlPath());
    if (id.isEmpty() || !url.isValid() || url.host().isEmpty())
        return {};
    HttpFetcher fetcher(url);
    const std::optional<HttpReply> reply = fetcher.request(url, QDeadlineTimer(std::max(1, m_timeoutMs)));
    if (reply && reply->status == kHttpNotFound)
        return {AccurateRipAnswer::NotPresent, {}};
    if (!reply || reply->status != 200)
        return {};
    const auto parsed = parseDbar(reply->body);
    if (!parsed)
        return {AccurateRipAnswer::Broken, {}};
    std::vector<AccurateRipPressing> pressings = pressingsOfDisc(*parsed, id);
    if (pressings.empty())
        return {AccurateRipAnswer::OtherDisc, {}};
    return {AccurateRipAnswer::Found, std::move(pressings)};
}
