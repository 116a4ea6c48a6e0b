#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

typedef struct _CdIo CdIo_t;
class QTemporaryDir;

// One track of the table of contents. Sectors are 2352 bytes, 588 stereo frames.
struct CdTocTrack {
    int number = 0;
    int firstLsn = 0;
    int sectors = 0;
    bool audio = true;
};

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

// An opened CD drive or CD image (.cue, .toc). Owns the libcdio handle and, for a CUE sheet
// whose FILE line names another file than the sheet's own name with .bin, the temporary
// links that let libcdio find the data.
class CdDisc {
public:
    // Null when the source cannot be opened or holds no readable disc.
    static std::unique_ptr<CdDisc> open(const QString &source);
    ~CdDisc();
    CdDisc(const CdDisc &) = delete;
    CdDisc &operator=(const CdDisc &) = delete;

    CdIo_t *handle() const { return m_cdio; }
    bool isImage() const { return m_image; }
    const CdToc &toc() const { return m_toc; }
    CdText cdText() const;
    void setSpeed(int speed) const;

private:
    CdDisc(CdIo_t *cdio, bool image, std::unique_ptr<QTemporaryDir> links);
    bool readToc();

    CdIo_t *m_cdio = nullptr;
    bool m_image = false;
    std::unique_ptr<QTemporaryDir> m_links;
    CdToc m_toc;
};
