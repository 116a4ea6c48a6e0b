#pragma once

#include "tags/tag_set.h"

#include <QString>
#include <cstdint>
#include <optional>

// What a file's header says of its audio.
struct AudioProperties {
    int lengthMs = 0;
    int sampleRate = 0;
    int channels = 0;
    int bitrate = 0; // kbit/s, the average over the file
};

// Tag writer over TagLib: ID3v1 / ID3v2.3 for MP3, Vorbis comments (OGG, FLAC, Opus), ASF
// attributes, RIFF INFO.
class AudioInformation {
public:
    QString infoTitle, infoAlbum, infoArtist;
    int16_t infoGenre = -1; // ID3v1 genre number; -1 writes no genre
    int16_t infoTrack = 0;
    int16_t mp3TagInfoVersion = 2;
    // The properties SaveTags writes; the file keeps what it holds for the others.
    enum Field : unsigned {
        Title = TagSet::Title,
        Album = TagSet::Album,
        Artist = TagSet::Artist,
        Genre = TagSet::Genre,
        Track = TagSet::Track,
        AllFields = TagSet::AllFields
    };
    unsigned savedFields = AllFields;
    // What a rip knows beyond the five properties: album artist, date, track and disc totals,
    // disc number, MusicBrainz IDs, front cover, and a genre name outside the ID3v1 list (written
    // as text in place of infoGenre's name). Its title, artist, album, track and fields are not
    // used; its empty fields are not written.
    TagSet extra;

    // Writes the properties into the file; false when the file cannot be tagged.
    bool SaveTags(const QString &path);
    // Length, rate, channels and bit rate of any file it tags; nothing when it is no such file.
    static std::optional<AudioProperties> ReadProperties(const QString &path);
    // What SaveTags writes: the five properties over `extra`.
    TagSet tagSet() const;
};
