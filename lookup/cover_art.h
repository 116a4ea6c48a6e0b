#pragma once

#include "lookup/disc_names.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QDeadlineTimer;

// The bytes as a cover when they are a real JPEG or PNG: the picture must decode whole, with at
// most kMaxCoverSide pixels a side (checked from its header before any pixel is decoded).
// nullopt for anything else.
std::optional<CoverArt> checkedCover(const QByteArray &bytes);

inline constexpr int kMaxCoverSide = 4096;

// The front cover of a MusicBrainz release from the Cover Art Archive:
// GET <server>/release/<mbid>/front-500, at most kMaxCoverBytes, within the deadline. Empty when
// the release has none (404), on any failure, and for bytes that are no real picture.
CoverArt fetchFrontCover(const QString &server, const QString &releaseId, const QDeadlineTimer &deadline);

inline constexpr qint64 kMaxCoverBytes = 10 * 1000 * 1000;
