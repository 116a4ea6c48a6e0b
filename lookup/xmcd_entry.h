#pragma once

#include "lookup/disc_names.h"

#include <QByteArray>
#include <optional>

// A freedb (xmcd) entry: "KEY=value" lines, comments after '#'. A key repeated on several lines
// is one value, the pieces joined exactly as they stand. DTITLE is "artist / album" split at the
// first " / " (without it, both are the whole title); the genre is DGENRE, else `category`; the
// date is DYEAR. A various-artists entry ("Various / Album") names its tracks "Artist / Title":
// those give the track artists.
// Text is UTF-8, or Latin-1 where the bytes are not valid UTF-8. Empty when the entry has no
// DTITLE and no TTITLE at all.
std::optional<DiscNames> parseXmcdEntry(const QByteArray &entry, const QString &category = {});
