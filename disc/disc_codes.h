#pragma once

#include "disc/freedb_disc_id.h"

#include <QList>
#include <QString>
#include <QStringList>

class CdDisc;
struct CdToc;

// What a disc says of itself beyond its table of contents, where the drive or image gives it.
struct DiscCodes {
    QString catalog;           // the 13-digit media catalog number (UPC/EAN), or empty
    QStringList isrcs;         // per track in TOC order, empty where there is none
    QList<int> pregapSectors;  // per track: sectors of INDEX 00 before INDEX 01
};

DiscCodes readDiscCodes(const CdDisc &disc);

// The value when it is a 13-digit catalog (UPC/EAN) or a 12-character ISRC (country and owner
// in 5 letters or digits, year and number in 7 digits); empty otherwise, and for zeros.
QString validCatalog(const QString &mcn);
QString validIsrc(const QString &isrc);

// Only the catalog number: asking a drive for every ISRC takes seconds.
QString readDiscCatalog(const CdDisc &disc);

// The audio tracks of the first session, as MusicBrainz knows a disc by them: an enhanced CD's
// data track moves the lead-out to 11400 sectors before it. Empty without audio tracks.
FreedbToc musicBrainzSession(const CdToc &toc);
// The MusicBrainz disc ID (libdiscid) of that session. Empty without audio tracks.
QString musicBrainzDiscId(const CdToc &toc);
