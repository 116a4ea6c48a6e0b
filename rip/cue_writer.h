#pragma once

#include <QString>

struct DiscCodes;
struct RipReport;

// A cue sheet for the ripped tracks: one FILE per track in the TOC's order, each starting at
// its track's INDEX 01; a following track's pregap is INDEX 00 near the end of the file
// before it (when that track was ripped too), the first track's is a PREGAP. TITLE and
// PERFORMER come from the names, CATALOG and ISRC from the disc where it gives them. File
// names are relative to `cueDirectory`. A cue reader gives each name back as
// cueSheetName(name).
QString cueSheetText(const RipReport &report, const DiscCodes &codes, const QString &cueDirectory);

// What a name becomes in a cue sheet written here, as our reader reads it back: the name on one
// line (nameOnOneLine), a double quote as a single quote, surrounding blanks trimmed. libcue
// gives the same, with a blank after a closing backslash.
QString cueSheetName(const QString &name);
