#include "disc/disc_lookup.h"

#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "disc/freedb_disc_id.h"
#include "lookup/cddb_client.h"
#include "lookup/cover_art.h"
#include "lookup/local_disc_db.h"
#include "lookup/musicbrainz_client.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QDeadlineTimer>

namespace {

bool isOn(const IniFile &ini, const TextKey &key)
{
    return ini.read(key) == QLatin1String("yes");
}

} // namespace

void DiscLookup::clear()
{
    m_names = {};
    m_source.clear();
    m_answers.clear();
    m_candidates.clear();
    m_chosen = -1;
}

void DiscLookup::take(const DiscNames &names, const QString &source)
{
    m_names = names.shortened();
    m_source = source;
}

bool DiscLookup::queryOnline(const CdToc &toc, const CdDisc *disc, const CddbServerSettings &cddb)
{
    m_answers.clear();
    m_timeoutMs = cddb.timeoutMs;
    if (toc.isEmpty())
        return false;
    if (isOn(IniFile(), settings::musicBrainz) && askMusicBrainz(toc, disc, cddb.timeoutMs))
        return true;
    const CddbAnswer answer = CddbClient(cddb.address, cddb.script, cddb.timeoutMs).lookup(FreedbToc::fromToc(toc));
    if (!answer.names) {
        if (!answer.problem.isEmpty())
            m_answers.append(answer.problem);
        return false;
    }
    m_candidates.clear();
    m_chosen = -1;
    take(*answer.names, QStringLiteral("CDDB %1 %2").arg(answer.category, answer.discId));
    return true;
}

bool DiscLookup::askMusicBrainz(const CdToc &toc, const CdDisc *disc, int timeoutMs)
{
    const MusicBrainzAnswer answer =
        MusicBrainzClient(IniFile().read(settings::musicBrainzServer), timeoutMs).lookup(musicBrainzSession(toc));
    if (answer.candidates.isEmpty()) {
        if (!answer.problem.isEmpty())
            m_answers.append(answer.problem);
        return false;
    }
    m_candidates = answer.candidates;
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < m_candidates.size(); ++i) {
        if (!preferredRelease.isEmpty() && m_candidates[i].names.musicBrainz.releaseId == preferredRelease)
            chosen = i;
    }
    // The catalog number only tells releases apart: a drive is asked for it only then.
    if (chosen < 0)
        chosen = automaticChoice(m_candidates, m_candidates.size() > 1 && disc ? readDiscCatalog(*disc) : QString());
    takeCandidate(chosen);
    return true;
}

void DiscLookup::takeCandidate(qsizetype index)
{
    m_chosen = index;
    DiscNames names = m_candidates[index].names;
    const IniFile ini;
    if (isOn(ini, settings::coverArt))
        names.cover = fetchFrontCover(ini.read(settings::coverArtServer), names.musicBrainz.releaseId,
                                      QDeadlineTimer(std::max(1, m_timeoutMs)));
    take(names, QStringLiteral("MusicBrainz release ") + names.musicBrainz.releaseId);
}

bool DiscLookup::chooseRelease(const QString &releaseId)
{
    for (qsizetype i = 0; i < m_candidates.size(); ++i) {
        if (m_candidates[i].names.musicBrainz.releaseId == releaseId) {
            if (i != m_chosen)
                takeCandidate(i);
            return true;
        }
    }
    return false;
}

bool DiscLookup::queryLocal(const CdToc &toc, const CdDisc *disc)
{
    DiscNames found;
    if (disc) {
        const CdText text = disc->cdText();
        found.artist = text.artist;
        found.album = text.album;
        found.titles = text.titles;
    }
    QStringList sources;
    if (!found.isEmpty())
        sources.append(QStringLiteral("CD-Text"));
    if (const auto stored = LocalDiscDb::find(FreedbToc::fromToc(toc).discId())) {
        found = stored->filledFrom(found);
        sources.append(QStringLiteral("local"));
    }
    if (found.isEmpty())
        return false;
    m_candidates.clear();
    m_chosen = -1;
    take(found, sources.join(QStringLiteral(", ")));
    return true;
}
