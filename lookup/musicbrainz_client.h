#pragma once

#include "lookup/release_choice.h"

#include <QString>
#include <QUrl>

struct FreedbToc;

// What the MusicBrainz server said of a disc: the releases that hold it, or in a line what it
// answered instead ("musicbrainz.org: 503 Service Unavailable").
struct MusicBrainzAnswer {
    QList<ReleaseCandidate> candidates;
    QString problem;
};

// The disc lookup of the MusicBrainz web service (ws/2, JSON): GET /ws/2/discid/<id>, and when
// the ID is unknown the same with the disc's TOC, which finds releases by their track lengths
// (keeping those with a medium of the disc's track count). The time-out bounds the whole
// exchange, reading the replies included. One process asks MusicBrainz at most once a second;
// a 503 is waited out once (its Retry-After, else a second) and asked again. Usable from any
// thread: the network objects live inside lookup() on the calling thread.
class MusicBrainzClient {
public:
    MusicBrainzClient(QString server, int timeoutMs);

    MusicBrainzAnswer lookup(const FreedbToc &session) const;

    // <server>/ws/2/discid/<id>?inc=recordings+artist-credits+release-groups&fmt=json, with
    // toc=<first>+<last>+<leadout>+<offsets...> first when `toc` is given.
    QUrl discUrl(const QString &discId, const QString &toc = {}) const;

    // No disc reply comes near this: a disc in a hundred releases, tracks and credits included.
    static constexpr qint64 kMaxReplyBytes = 8 << 20;

private:
    QString m_server;
    int m_timeoutMs;
};
