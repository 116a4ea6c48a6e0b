#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class AudioInformation;

// A file's audio as the program's own readers decode it: its format, its frames and a checksum
// of every sample. Two files hold the same audio when these are equal.
struct DecodedAudio {
    bool complete = false; // opened and read to its end without an error
    int rate = 0;
    int channels = 0;
    qint64 frames = 0;
    quint64 checksum = 0;
    quint32 crc32 = 0; // of the samples as little-endian 16-bit bytes, as a WAV holds them
    bool operator==(const DecodedAudio &) const = default;
};

// Decodes `path` through AudioFile, block by block: memory stays flat for any length.
DecodedAudio decodeAudio(const QString &path);

enum class TagSave {
    Saved,
    Refused,      // the tagger refused the file, or the audio before was not whole
    AudioChanged, // the tagged file no longer decodes as before: the file is damaged
};

// Saves the tags of `info` into `path` twice, as version `firstVersion` (1 or 2) and then the
// other one (an MP3 keeps both tags), and decodes the file again. Saved only when its audio
// decodes exactly as `before`, which must be complete. TagLib trusts the sizes a file declares,
// so a malformed file may come out shorter: `path` must be a file no one else reads yet (a
// PartFile), which the caller drops unless Saved.
TagSave saveTagsChecked(AudioInformation &info, const QString &path, int firstVersion,
                        const DecodedAudio &before);

// Tags an existing file as every output is written: into a copy that replaces the file only
// when it is tagged and its audio decodes exactly as the file's did. A symbolic link stays a
// link to the tagged file. Nothing when saved; otherwise the message to tell, and the file is
// as it was.
std::optional<QString> tagFileThroughCopy(AudioInformation &info, const QString &file);
