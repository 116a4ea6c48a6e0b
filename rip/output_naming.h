#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class IniFile;
struct TextKey;

// The naming of one ripped track: cleaned names, naming rule, directories and path.
// Pure functions apart from createDirectoryLevel; safe on any thread.

// What the naming reads from the settings for one track, read afresh for every track.
struct NamingSettings {
    QString outputDirectory;
    int filenameFormat = 0;
    QStringList replacements; // values of "replacing01".."replacing09", in that order
    QString extension;        // with its dot, or empty

    // The extension follows "output type" unless the caller fixes it (the WMA rip: ".wma").
    static NamingSettings read(const IniFile &ini,
                               const std::optional<QString> &fixedExtension = std::nullopt);
    // The setting whose stored text is not UTF-8, so that its names would reach the file system
    // as other bytes (IniFile::isFaithfulPath); nullptr when every one can be used.
    const TextKey *unfaithfulKey() const;
};

struct TrackNames {
    QString title;
    int number = 0; // 1-based track number, written without leading zeros
    QString artist;
    QString album;
};

struct OutputPath {
    QStringList directories; // to create in this order, one level each (artist/album rules)
    QString directory;       // the directory that holds the file
    QString path;
};

// ".mp3", ".wav", ".wma", ".ogg" for output types 0 to 3; empty for any other value.
QString extensionForOutputType(int outputType);
// What a rip of `outputType` writes: as above, but ".flac" for WAV when "lossless format" is
// flac, and ".opus" for OGG when "ogg codec" is opus.
QString ripExtension(int outputType, const IniFile &ini);
// The format's name for people: "MP3", "WAV", "WMA", "OGG Vorbis", "FLAC", "Opus".
QString formatName(const QString &extension);

// U+0000 to U+001F and U+007F: no file or folder name keeps them.
bool isControlCharacter(QChar c);

// Applies the nine replacements in order, each on the result of the previous one. The result
// never holds a path separator or a control character (U+0000 to U+001F, U+007F) and is never
// "." or "..": names come from CDDB servers and must not reach outside the output directory,
// whatever the replacements say.
QString cleanName(const QString &text, const QStringList &replacements);

// The directories and the path of one track's file, without touching the file system. Each
// folder and file name below the output directory fits kMaxNameBytes (jobs/part_file.h).
OutputPath planOutputPath(const TrackNames &track, const NamingSettings &settings);

// Creates one directory level; failure (exists, missing parent, bad name) is ignored, and
// shows later as a file that cannot be created.
void createDirectoryLevel(const QString &dir);

// Creates each directory in order, one level each.
void createDirectoryLevels(const QStringList &dirs);
