#pragma once

#include "tags/tag_set.h"

namespace TagLib {
class Tag;
namespace ID3v1 {
class Tag;
}
namespace ID3v2 {
class Tag;
}
namespace Ogg {
class XiphComment;
}
namespace ASF {
class Tag;
}
namespace FLAC {
class File;
}
namespace RIFF::Info {
class Tag;
}
} // namespace TagLib

// One writer per tag family: each puts a TagSet under its family's usual names and leaves what
// the set does not give as the tag holds it. A new format reuses the writer of its family
// (FLAC and Opus carry Vorbis comments and their pictures like Ogg Vorbis).

// ID3v1: title, artist, album, year, track and the genre's number (255: none).
void writeId3v1(TagLib::ID3v1::Tag &tag, const TagSet &tags, int genreNumber);
// ID3v2 (saved as v2.3): TIT2, TPE1, TALB, TCON, TRCK "n/N", TPE2, TPOS "n/N", the date
// (TYER, TDAT), MusicBrainz IDs as TXXX and UFID frames, the front cover as APIC, ReplayGain
// as TXXX frames.
void writeId3v2(TagLib::ID3v2::Tag &tag, const TagSet &tags);
// Vorbis comments: TITLE, ARTIST, ALBUM, GENRE, TRACKNUMBER, TRACKTOTAL, ALBUMARTIST, DATE,
// DISCNUMBER, DISCTOTAL, MUSICBRAINZ_*, the front cover as METADATA_BLOCK_PICTURE, and the
// measured loudness as REPLAYGAIN_* (Vorbis, FLAC) or R128_*_GAIN (Opus, RFC 7845).
enum class GainFields { ReplayGain, R128 };
void writeXiphComment(TagLib::Ogg::XiphComment &tag, const TagSet &tags,
                      GainFields gains = GainFields::ReplayGain);
// FLAC: the Vorbis comments as above, the front cover as a PICTURE block of the file.
void writeFlac(TagLib::FLAC::File &file, const TagSet &tags);
// ASF attributes: Title, Author, WM/AlbumTitle, WM/Genre, WM/TrackNumber, WM/AlbumArtist,
// WM/Year, WM/PartOfSet, MusicBrainz/*, the front cover as WM/Picture, REPLAYGAIN_*.
void writeAsf(TagLib::ASF::Tag &tag, const TagSet &tags);
// RIFF INFO, where a field exists: INAM, IART, IPRD, IGNR, IPRT, ICRD.
void writeRiffInfo(TagLib::RIFF::Info::Tag &tag, const TagSet &tags);
