#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

typedef struct _CdIo CdIo_t;
struct CdImageLayout;
class SimulatedDrive;

// One track of the table of contents. Sectors are 2352 bytes, 588 stereo frames.
struct CdTocTrack {
    int number = 0;
    int firstLsn = 0;
    int sectors = 0;
    bool audio = true;
};

// An enhanced CD's data session starts this many sectors after the audio session's end: the
// first session's lead-out and the second's lead-in.
inline constexpr int kSessionGapSectors = 11400;

struct CdToc {
    std::vector<CdTocTrack> tracks;
    int leadoutLsn = 0;
    bool isEmpty() const { return tracks.empty(); }
};

struct CdText {
    QString artist;
    QString album;
    QStringList titles; // index 0 is track 1; empty where the disc has no title
};

// An opened CD drive (through libcdio), CD image (.cue, .toc: read by our own readers, never
// by libcdio's image drivers) or simulated drive (.drive: a device to libcdio-paranoia).
class CdDisc {
public:
    // Null when the source cannot be opened or holds no readable disc; `error` then says why
    // when there is more to say than that (an image that is not valid).
    static std::unique_ptr<CdDisc> open(const QString &source, QString *error = nullptr);
    ~CdDisc();
    CdDisc(const CdDisc &) = delete;
    CdDisc &operator=(const CdDisc &) = delete;

    CdIo_t *handle() const { return m_cdio; } // null for an image
    bool isImage() const { return m_image != nullptr; }
    const CdImageLayout *image() const { return m_image.get(); }
    // The simulated drive behind the handle; null for a real drive or an image.
    const SimulatedDrive *simulation() const { return m_simulation.get(); }
    const CdToc &toc() const { return m_toc; }
    CdText cdText() const;
    void setSpeed(int speed) const;

private:
    explicit CdDisc(CdIo_t *cdio, std::shared_ptr<SimulatedDrive> simulation = nullptr);
    explicit CdDisc(std::unique_ptr<CdImageLayout> image);
    bool readToc();

    std::shared_ptr<SimulatedDrive> m_simulation; // outlives m_cdio, which reads through it
    CdIo_t *m_cdio = nullptr;
    std::unique_ptr<CdImageLayout> m_image;
    CdToc m_toc;
};
