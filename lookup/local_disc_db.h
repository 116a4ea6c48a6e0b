#pragma once

#include "lookup/disc_names.h"

#include <QString>
#include <optional>

// The local disc database: cdplayer.ini beside the settings file, one section per freedb disc
// ID with "artist", "title", "numtracks" and one key per track numbered from 0, as the
// classic CD player wrote it.
class LocalDiscDb {
public:
    static QString path();
    // Names for the disc; empty when it has no section or the section names nothing.
    static std::optional<DiscNames> find(const QString &discId);
};
