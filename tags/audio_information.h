#pragma once

#include <QString>
#include <cstdint>

// Tag writer over TagLib: ID3v1 / ID3v2.3 for MP3, Vorbis comments, ASF attributes, RIFF INFO.
class AudioInformation {
public:
    QString infoTitle, infoAlbum, infoArtist;
    int16_t infoGenre = -1; // ID3v1 genre number; -1 writes no genre
    int16_t infoTrack = 0;
    int16_t mp3TagInfoVersion = 2;
    // The properties SaveTags writes; the file keeps what it holds for the others.
    enum Field : unsigned { Title = 1, Album = 2, Artist = 4, Genre = 8, Track = 16, AllFields = 31 };
    unsigned savedFields = AllFields;

    // Writes the properties into the file; false when the file cannot be tagged.
    bool SaveTags(const QString &path);
};
