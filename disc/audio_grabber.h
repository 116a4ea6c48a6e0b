#pragma once

#include "disc/disc_codes.h"
#include "codec/sample_block.h"
#include "disc/track_checksums.h"
#include "lookup/release_choice.h"

#include <QString>
#include <cstdint>
#include <memory>

struct CdToc;

// CD drives and images through libcdio, secure reading through libcdio-paranoia, and the
// name lookups (MusicBrainz, CDDB, CD-Text, the local database). One instance lives on the main window; while a job runs only the job calls it.
// QueryDiscInfo may run on a worker thread (it makes its own network objects there).
class AudioGrabber {
public:
    AudioGrabber();
    ~AudioGrabber();
    AudioGrabber(const AudioGrabber &) = delete;
    AudioGrabber &operator=(const AudioGrabber &) = delete;

    // Drive list: real CD drives, then the sources in HARVELO_CD_DEVICES.
    int driveCount() const;
    int driveNum() const;
    void setDriveNum(int n); // 1-based
    QString driveLetter() const; // device or image path of driveNum
    QString driveName() const;   // vendor and model; an image's file name
    QString driveVendor() const; // trimmed; empty for an image
    QString driveModel() const;

    // Kept as set; on Linux every drive is read the same way, through the kernel's MMC path.
    int driveReadType() const;
    void setDriveReadType(int type); // 0 auto, 1 IDE, 4 SCSI, 3 old SCSI
    int driveSpeed() const;
    void setDriveSpeed(int speed); // applied at OpenTrack; images ignore it
    // 0 and 1 read straight, 2 with jitter correction, 3 and 4 with full paranoia.
    int GrabModePreset() const;
    void setGrabModePreset(int mode);
    // What a sector that stays unreadable after the retries becomes: 0 Stop (ReadBlock sets
    // errorCode and leaves it out), 1 Silence, 2 Cut (left out), 3 Correct (best guess).
    int grabOnErrorAction() const;
    void setGrabOnErrorAction(int action);
    int grabOnErrorRetries() const;
    void setGrabOnErrorRetries(int retries);

    // Table of contents of drive driveNum. No disc or no drive leaves trackCount 0.
    void ReadTOC();
    int trackCount() const;
    int trackNum() const;
    void setTrackNum(int n); // 1-based
    int trackLength() const;  // ms, of trackNum
    int trackSamples() const; // frames of 4 bytes, of trackNum
    QString discId() const;   // freedb disc id, 8 lower-case hex digits; empty without a TOC
    // Why ReadTOC found no disc in an image that is not valid ("disc.toc: line 1: ..."); empty
    // otherwise.
    QString discError() const;

    // errorCode is non-zero when there is no such audio track (data tracks are refused).
    void OpenTrack(int track);
    // At most `samples` 16-bit samples, 44100 Hz stereo; empty only at the end of the track.
    SampleBlock ReadBlock(int samples);
    void CloseTrack(); // harmless when nothing is open
    int errorCode() const;
    // The checksums of what ReadBlock has given of the open (or last) track so far.
    TrackChecksums trackChecksums() const;
    // The disc's table of contents as ReadTOC found it (empty without a disc).
    const CdToc &toc() const;
    // Shifts what a track gives by this many stereo frames (a drive's read offset): reading
    // goes on into the neighbouring tracks, zeros stand for what lies off the disc.
    int readOffset() const;
    void setReadOffset(int frames);
    // Frames of the track opened last that could not be read (the error action cut, skipped,
    // silenced or guessed them); counted from OpenTrack on, kept after CloseTrack.
    int64_t unreadableFrames() const;

    // CDDB
    int cddbTimeOut() const;
    void setCddbTimeOut(int ms);
    QString cddbServerAddress() const;
    void setCddbServerAddress(const QString &address);
    QString cddbCGIScript() const;
    void setCddbCGIScript(const QString &script);
    // 1: on-line: MusicBrainz (unless "musicbrainz" in the settings is not yes), then the CDDB
    // server; each within cddbTimeOut, a found release's cover art too (callable from a worker
    // thread). 2: CD-Text and cdplayer.ini beside the settings file. True when found; the names
    // below then change, else they stay. ReadTOC empties them.
    bool QueryDiscInfo(int source);
    QString discArtist() const; // the disc's (album) artist
    QString discAlbum() const;
    QString discGenre() const;
    // Of trackNum; "Artist / Title" for a track whose artist is not the disc's.
    QString trackTitle() const;
    // The artist of trackNum where it is not the disc's; else empty.
    QString trackArtist() const;
    // Everything the last lookup found: track artists, date, disc number and total, MusicBrainz
    // IDs, the front cover.
    const DiscNames &discNames() const;
    // Where the names came from: "MusicBrainz release <mbid>", "CDDB <category> <discid>",
    // "CD-Text", "local", "CD-Text, local"; empty when none was found since ReadTOC.
    QString namesSource() const;
    // What the servers that did not name the disc answered in the last on-line query, a line
    // each ("gnudb.gnudb.org: 500 Unknown developer email").
    QStringList onlineAnswers() const;
    // Every MusicBrainz release that holds the disc, and the index of the one named.
    const QList<ReleaseCandidate> &releaseCandidates() const;
    int chosenRelease() const;
    // Names the disc after another of the candidates (fetching its cover; callable from a
    // worker thread); false when none has this ID.
    bool chooseRelease(const QString &releaseId);
    // The release QueryDiscInfo(1) names when it holds the disc; empty: the automatic choice.
    void setPreferredRelease(const QString &releaseId);
    // Catalog number, ISRCs and pregaps of the disc read by ReadTOC.
    DiscCodes discCodes() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
