#pragma once

#include <QList>
#include <QString>
#include <vector>

struct CdToc;

// What CDDB knows a disc by: the start of every track and the lead-out, as LBA (LSN + 150).
struct FreedbToc {
    int firstTrack = 1;
    std::vector<int> trackOffsets;
    int leadoutOffset = 0;

    static FreedbToc fromToc(const CdToc &toc);
    bool isEmpty() const { return trackOffsets.empty(); }
    // Eight lower-case hexadecimal digits (computed by libdiscid); empty for an empty TOC.
    QString discId() const;
    // The MusicBrainz disc ID of the same offsets (libdiscid); empty for an empty TOC.
    QString musicBrainzId() const;
    // "DISCID N OFFSET... SECONDS", the arguments of "cddb query".
    QString queryArguments() const;
    // "FIRST LAST LEADOUT OFFSET...", MusicBrainz's "toc" of the same offsets.
    QString musicBrainzToc() const;
    // The playing time of each track in milliseconds, the last one up to the lead-out.
    QList<qint64> trackLengthsMs() const;
};
