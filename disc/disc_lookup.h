#pragma once

#include "lookup/disc_names.h"
#include "lookup/release_choice.h"

#include <QList>
#include <QString>
#include <QStringList>

class CdDisc;
struct CdToc;

// Where the CDDB server is, as the grabber's properties say.
struct CddbServerSettings {
    QString address;
    QString script;
    int timeoutMs = 0;
};

// The grabber's name queries and what they found, kept from one ReadTOC to the next. The
// on-line query reads "musicbrainz", "musicbrainz server", "cover art server" and "cover art"
// from the settings file when it runs.
class DiscLookup {
public:
    // ReadTOC: nothing found yet.
    void clear();

    // MusicBrainz first (unless "musicbrainz" is not yes), then the CDDB server. True when
    // either found the disc; the names then change, else they stay.
    bool queryOnline(const CdToc &toc, const CdDisc *disc, const CddbServerSettings &cddb);
    // CD-Text and the local database; true when either names the disc.
    bool queryLocal(const CdToc &toc, const CdDisc *disc);
    // Takes the names of another MusicBrainz candidate, with its cover; false when none has
    // this release ID.
    bool chooseRelease(const QString &releaseId);

    const DiscNames &names() const { return m_names; }
    // "MusicBrainz release <mbid>", "CDDB <category> <discid>", "CD-Text", "local",
    // "CD-Text, local"; empty when nothing was found.
    QString source() const { return m_source; }
    // One line per on-line server that did not name the disc in the last on-line query.
    QStringList onlineAnswers() const { return m_answers; }
    const QList<ReleaseCandidate> &candidates() const { return m_candidates; }
    qsizetype chosen() const { return m_chosen; }

    // The release the on-line query takes when it holds the disc; empty: the automatic choice.
    QString preferredRelease;

private:
    bool askMusicBrainz(const CdToc &toc, const CdDisc *disc, int timeoutMs);
    void take(const DiscNames &names, const QString &source);
    void takeCandidate(qsizetype index);

    DiscNames m_names;
    QString m_source;
    QStringList m_answers;
    QList<ReleaseCandidate> m_candidates;
    qsizetype m_chosen = -1;
    int m_timeoutMs = 0;
};
