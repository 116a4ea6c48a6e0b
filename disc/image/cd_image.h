#pragma once

#include "disc/cd_disc.h"
#include "disc/disc_codes.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class AudioReader;

// A CD image (a cue sheet or a cdrdao .toc file) as the disc it describes: where every frame of
// audio comes from (a stretch of a file, or silence), the table of contents and the CD-Text.
// Harvelo reads images itself, so no image reaches libcdio's image drivers.

struct CdImageFile {
    QString path;
    bool bigEndian = false; // raw MOTOROLA data, or cdrdao's raw files without SWAP
    bool flac = false;      // decoded; its "bytes" count 4 per frame of the decoded audio
};

// A run of the disc's frames (4 bytes, one stereo sample), from a file or silent.
struct CdImageSpan {
    int64_t firstFrame = 0; // of the disc: LSN * 588
    int64_t frames = 0;
    int file = -1;          // index into CdImageLayout::files; -1 for silence
    int64_t fileOffset = 0; // byte of the span's first frame in its file
};

struct CdImageLayout {
    std::vector<CdImageFile> files;
    std::vector<CdImageSpan> spans; // in disc order, without gaps, up to the lead-out
    CdToc toc;
    CdText text;
    DiscCodes codes;   // checked: what is not a valid code is left out
    QStringList notes; // what was left out, and why ("line 3: ...")
};

// Builds a layout in disc order; shared by the cue and toc readers.
class CdImageBuilder {
public:
    int addFile(const QString &path, bool bigEndian, bool flac = false);
    void addSilence(int64_t frames);
    void addFileData(int file, int64_t fileOffset, int64_t frames);
    // Pads the disc to a whole sector, so that the next track starts on a sector boundary.
    void padToSector();
    int64_t frame() const { return m_frame; }
    // A track whose INDEX 01 is `frame` (rounded down to its sector).
    void addTrack(int number, int64_t indexFrame, bool audio);
    // Pads to a sector and closes the table of contents. Empty when it is a disc, else why not.
    QString finish(CdImageLayout *layout);

private:
    CdImageLayout m_layout;
    int64_t m_frame = 0;
};

// A sheet's CATALOG or ISRC value when it is a valid code; empty for none (zeros, as drives
// and the sheets copied from them write it), and empty with a note when it is no such code.
QString sheetCode(const QByteArray &keyword, const QString &value, int line, QStringList *notes);

// Where a WAV file's 16-bit stereo 44.1 kHz PCM data lies. Empty with a reason otherwise.
struct WavData {
    int64_t offset = 0;
    int64_t bytes = 0;
};
std::optional<WavData> locateWavData(QFile &file, QString *error);
// The same of a FLAC file: its decoded audio as if it were raw data from offset 0. Empty with a
// reason unless it is a FLAC file of 16-bit stereo 44.1 kHz audio with its length known.
std::optional<WavData> locateFlacData(const QString &path, QString *error);
// A sheet's file is FLAC by its type, its extension or its first bytes.
bool isFlacImageFile(const QString &path, const QByteArray &type);

// The file a sheet names, relative to the sheet's folder. Sheets made on Windows use
// backslashes, and images are often moved without their folders: those are tried too.
QString resolveImageFile(const QString &folder, const QString &name);

// The readers, as pure functions of the sheet's text and folder (the folder is where the
// files it names are looked up). Empty with a reason ("line 3: ...") when the text is no
// readable image.
std::optional<CdImageLayout> readCueSheet(const QByteArray &text, const QString &folder,
                                          QString *error);
std::optional<CdImageLayout> readTocFile(const QByteArray &text, const QString &folder,
                                         QString *error);
// .cue or .toc by the file's extension; anything else is refused.
std::optional<CdImageLayout> readCdImage(const QString &path, QString *error);

// Sector reads from a layout's files; silence reads as zeros.
class CdImageReader {
public:
    explicit CdImageReader(const CdImageLayout &layout);
    ~CdImageReader();
    // One sector (1176 samples, host order) into `out`; false when the files do not hold it.
    bool readSector(int lsn, int16_t *out);

private:
    bool readSpan(const CdImageSpan &span, int64_t from, int64_t frames, int16_t *out);

    bool readFlac(int file, int64_t frame, int64_t frames, int16_t *out);

    const CdImageLayout &m_layout;
    std::vector<std::unique_ptr<QFile>> m_files;
    // FLAC files: a decoder each, and the frame it reads next (seeks only when a read jumps).
    std::vector<std::unique_ptr<AudioReader>> m_decoders;
    std::vector<int64_t> m_nextFrame;
};

class CdTrackReader;
struct CdReadSettings;
// A track of an image's disc (`disc` is an image), read through CdImageReader.
std::unique_ptr<CdTrackReader> openImageTrackReader(std::shared_ptr<const CdDisc> disc,
                                                    const CdTocTrack &track,
                                                    const CdReadSettings &settings);
