#pragma once

#include <QString>
#include <array>

// Every section, key and default of harvelo.ini. Readers and writers name a key from here;
// nobody spells a section or a default of their own, so the settings dialog shows exactly
// what a rip or a conversion will use.

struct IntKey {
    const char *section;
    const char *key;
    int defaultValue;
};

struct TextKey {
    const char *section;
    const char *key;
    QString (*defaultValue)();
};

namespace settings {

inline constexpr char kCdSettings[] = "cd settings";
inline constexpr char kMp3Settings[] = "mp3 settings";
inline constexpr char kWmaSettings[] = "wma settings";
inline constexpr char kOggSettings[] = "ogg settings";
inline constexpr char kFlacSettings[] = "flac settings";
inline constexpr char kOpusSettings[] = "opus settings";
inline constexpr char kCddb[] = "cddb";
inline constexpr char kOutputFormat[] = "output format";
inline constexpr char kBasic[] = "basic";

// Defaults that depend on the machine.
QString defaultOutputDirectory();
QString defaultSkinName();
QString defaultCddbServer();
QString defaultCgiScript();

inline constexpr IntKey cdUnit{kCdSettings, "cd unit", 0};
inline constexpr IntKey cdType{kCdSettings, "cd type", 0};
inline constexpr IntKey grabMode{kCdSettings, "grab mode", 1};
inline constexpr IntKey errorRetry{kCdSettings, "error retry", 5};
inline constexpr IntKey errorAction{kCdSettings, "error action", 2};
inline constexpr IntKey driveSpeed{kCdSettings, "drive speed", 32};
// Stereo frames the drive reads late (positive) or early, within ±kMaxReadOffset. Images read
// with 0.
inline constexpr IntKey readOffset{kCdSettings, "read offset", 0};
inline constexpr int kMaxReadOffset = 3000;
// One drive's own read offset, read before "read offset": the key names the drive, so it is
// made by readOffsetKeyOf ("read offset PLEXTOR DVDR PX-716A"); same default and range.
inline constexpr char kReadOffsetOfDrive[] = "read offset %1 %2";
QString readOffsetKeyOf(const QString &vendor, const QString &model);
// "yes": every track is read twice and the second read is written; the log compares the two
// reads' CRC32.
inline constexpr TextKey testAndCopy{kCdSettings, "test and copy", [] { return QStringLiteral("no"); }};
// "yes": a disc put into or taken out of the chosen drive refreshes the track list while the
// window is idle.
inline constexpr TextKey refreshOnDiscChange{kCdSettings, "refresh on disc change",
                                            [] { return QStringLiteral("yes"); }};

inline constexpr IntKey mp3Frequency{kMp3Settings, "frequency", 44100};
inline constexpr IntKey mp3Channel{kMp3Settings, "channel", 2};
inline constexpr IntKey mp3Bitrate{kMp3Settings, "bitrate", 128};
inline constexpr IntKey mp3VbrBitrate{kMp3Settings, "vbr bitrate", 128};
inline constexpr IntKey mp3VbrQuality{kMp3Settings, "vbr quality", 5};

inline constexpr IntKey wmaFormat{kWmaSettings, "wma format", 28};

inline constexpr IntKey oggFrequency{kOggSettings, "frequency", 44100};
inline constexpr IntKey oggChannel{kOggSettings, "channel", 2};
inline constexpr IntKey oggBitrate{kOggSettings, "bitrate", 128};
inline constexpr IntKey oggVbrEnabled{kOggSettings, "vbr enabled", 0};
inline constexpr IntKey oggMinBitrate{kOggSettings, "min bitrate", 128};
inline constexpr IntKey oggMaxBitrate{kOggSettings, "max bitrate", 128};
inline constexpr IntKey oggQualityEnabled{kOggSettings, "quality enabled", 0};
inline constexpr IntKey oggQuality{kOggSettings, "quality", 300};

// FLAC: compression level 0..8 (as flac -0..-8); verify 1 decodes every frame again while
// encoding.
inline constexpr IntKey flacLevel{kFlacSettings, "compression level", 5};
inline constexpr IntKey flacVerify{kFlacSettings, "verify", 0};

// Opus: kbit/s 6..510; bitrate mode 0 VBR, 1 constrained VBR, 2 hard CBR.
inline constexpr IntKey opusBitrate{kOpusSettings, "bitrate", 160};
inline constexpr IntKey opusBitrateMode{kOpusSettings, "bitrate mode", 0};

inline constexpr IntKey cdSource{kCddb, "cd source", -1};
inline constexpr IntKey cddbTimeout{kCddb, "timeout", 7000};
inline constexpr TextKey cddbServer{kCddb, "cddb server", &defaultCddbServer};
inline constexpr TextKey cgiScript{kCddb, "cgi script", &defaultCgiScript};
// The on-line lookup asks MusicBrainz first ("yes"), then the CDDB server; its cover art comes
// from the Cover Art Archive.
inline constexpr TextKey musicBrainz{kCddb, "musicbrainz", [] { return QStringLiteral("yes"); }};
inline constexpr TextKey musicBrainzServer{kCddb, "musicbrainz server",
                                           [] { return QStringLiteral("https://musicbrainz.org"); }};
inline constexpr TextKey coverArtServer{kCddb, "cover art server",
                                        [] { return QStringLiteral("https://coverartarchive.org"); }};
// The AccurateRip database serves its files over plain HTTP only.
inline constexpr TextKey accurateRipServer{kCddb, "accuraterip server", [] { return QStringLiteral("www.accuraterip.com"); }};

inline constexpr IntKey outputType{kOutputFormat, "output type", 0};
inline constexpr TextKey normalize{kOutputFormat, "normalize", [] { return QStringLiteral("yes"); }};
// What the WAV and OGG format buttons write: "wav" or "flac", "vorbis" or "opus".
inline constexpr TextKey losslessFormat{kOutputFormat, "lossless format", [] { return QStringLiteral("wav"); }};
inline constexpr TextKey oggCodec{kOutputFormat, "ogg codec", [] { return QStringLiteral("vorbis"); }};
inline constexpr IntKey normalizeRatio{kOutputFormat, "normalzie Ratio", 98};
// ReplayGain tags from the loudness measured while writing: "no", "track", or "album" (the
// track's values and the whole rip's or batch's). The audio stays as written.
inline constexpr TextKey replayGain{kOutputFormat, "replaygain", [] { return QStringLiteral("no"); }};
// Tracks a rip encodes at once while the disc is read on; 0 is one per core, 1 encodes each
// track before the next is read.
inline constexpr IntKey encoderThreads{kOutputFormat, "encoder threads", 0};
inline constexpr IntKey filenameFormat{kOutputFormat, "filename format", 0};
inline constexpr TextKey outputDirectory{kOutputFormat, "output directory", &defaultOutputDirectory};
// "yes": a lookup fetches the release's front cover, and a rip embeds it in every file and
// saves it as cover.jpg (or .png) beside the tracks.
inline constexpr TextKey coverArt{kOutputFormat, "cover art", [] { return QStringLiteral("yes"); }};
// "yes": a rip writes <album>.log and <album>.cue beside its files.
inline constexpr TextKey writeLog{kOutputFormat, "write log", [] { return QStringLiteral("yes"); }};
// "yes": a rip or conversion that ends while no window of the program is active says how it
// went in a desktop notification.
inline constexpr TextKey notify{kOutputFormat, "notify", [] { return QStringLiteral("yes"); }};

// The nine replacements in the order the naming applies them, with the character each replaces.
struct Replacement {
    TextKey key;
    QChar replaced;
};
inline const std::array<Replacement, 9> replacements{{
    {{kOutputFormat, "replacing01", [] { return QStringLiteral("#"); }}, QLatin1Char('*')},
    {{kOutputFormat, "replacing02", [] { return QStringLiteral("&"); }}, QLatin1Char('?')},
    {{kOutputFormat, "replacing03", [] { return QStringLiteral("#"); }}, QLatin1Char('|')},
    {{kOutputFormat, "replacing04", [] { return QStringLiteral("="); }}, QLatin1Char(':')},
    {{kOutputFormat, "replacing05", [] { return QStringLiteral("#"); }}, QLatin1Char('"')},
    {{kOutputFormat, "replacing06", [] { return QStringLiteral("#"); }}, QLatin1Char('/')},
    {{kOutputFormat, "replacing07", [] { return QStringLiteral("#"); }}, QLatin1Char('\\')},
    {{kOutputFormat, "replacing08", [] { return QStringLiteral("("); }}, QLatin1Char('<')},
    {{kOutputFormat, "replacing09", [] { return QStringLiteral(")"); }}, QLatin1Char('>')},
}};

inline constexpr IntKey skin{kBasic, "skin", 1};
inline constexpr TextKey skinName{kBasic, "skin name", &defaultSkinName};

// "normalize" is on only when it holds exactly "yes".
inline constexpr char kNormalizeOn[] = "yes";
inline constexpr char kNormalizeOff[] = "no";

} // namespace settings
