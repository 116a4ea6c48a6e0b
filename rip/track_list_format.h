#pragma once

#include <QString>

// How the track list shows a track and matches a looked-up genre.
namespace tracklist {

// Minutes, ":" and two-digit seconds of a length in milliseconds; minutes are not limited to 59.
QString lengthText(int milliseconds);

// The size of `frames` 4-byte sample frames in megabytes with two decimals and "MB"
// (at most five significant digits, the rest shown as zeros), in the user's decimal separator.
QString sizeText(qint64 frames);

// The title, or "Track" and the number when the title is empty or holds nothing but control
// characters (a NUL from a server).
QString trackName(const QString &title, int track);

// The index of the genre name equal to `genre` up to the case of ASCII letters, or -1.
// No trimming: "Rock " matches nothing.
int genreIndex(const QString &genre);

} // namespace tracklist
