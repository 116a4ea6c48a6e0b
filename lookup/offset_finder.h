#pragma once

#include "lookup/accuraterip_db.h"

#include <QString>

#include <optional>
#include <vector>

class AudioGrabber;

// The drive's read offset, found on a disc that the AccurateRip database knows: a track is
// read once with room on both sides, and the offsets are tried until its v1 or v2 checksum is
// one of the database's. The common offsets of drives come first, with both checksums; then
// every offset within ±3000 by v1 alone, which slides along the track in one pass.
struct FoundOffset {
    int offset = 0;
    int track = 0; // 1-based, of the TOC
    AccurateRipVerdict verdict;
};

// `grabber` has the disc's TOC read; its read offset is changed. Nothing when no offset
// makes a track match (or the drive cannot read one).
std::optional<FoundOffset> findReadOffset(AudioGrabber &grabber,
                                          const std::vector<AccurateRipPressing> &pressings);

class DriveOffsetList;
class IniFile;
// The list's offset for a drive whose own "read offset <vendor> <model>" was never set.
std::optional<int> proposedReadOffset(const DriveOffsetList &list, const IniFile &ini,
                                      const QString &vendor, const QString &model);
// "Offset from the drive database: +30 (PLEXTOR DVDR PX-716A)", or empty.
QString proposedReadOffsetText(int offset, const QString &vendor, const QString &model);
