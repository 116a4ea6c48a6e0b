#pragma once

#include "lookup/disc_names.h"
#include "rip/rip_loudness.h"
#include "rip/rip_track_result.h"
#include "rip/written_audio.h"

#include <QList>
#include <QString>
#include <atomic>
#include <exception>
#include <memory>
#include <optional>

class AudioFile;
class AudioGrabber;
class AudioInformation;
class AudioTransform;
class IniFile;
class JobControl;
class PartFile;
class PcmSpool;
class RipLoudness;
class RipProof;
class TrackEncoders;
struct TrackEncoding;
struct NamingSettings;
struct OutputPath;
struct SampleBlock;

// One row of the track list as the job sees it; row i is track i + 1.
struct RipRow {
    bool ticked = false;
    QString title;    // "Track name" as shown
    QString sizeText; // "Size" as shown
};

// What the job takes from the main window when it starts; the job never reads a widget.
struct RipSnapshot {
    QList<RipRow> rows;
    QString artist;
    QString album;
    int genre = -1; // ID3v1 genre number, -1 for none
    // A looked-up genre the ID3v1 list lacks, written as text where a tag holds text; empty:
    // the name of `genre`.
    QString genreText;
    // What the lookup found beyond the window's fields, read from the grabber when the job
    // starts: track artists, date, disc number, MusicBrainz IDs, the front cover.
    DiscNames names;
    // The headless rip's choices over "output type" and "output directory" of the settings.
    std::optional<int> outputType;
    // The headless rip's file format (".flac"), over what "output type" chooses.
    std::optional<QString> extension;
    std::optional<QString> outputDirectory;
    std::optional<bool> testAndCopy; // over "test and copy"
    std::optional<int> encoderThreads; // over "encoder threads"
};

struct RipComponents {
    AudioGrabber &grabber;
    AudioFile &file;
    AudioTransform &transform;
    AudioInformation &information;
};

// Where the job runs. The worker rips MP3, WAV and OGG by "output type"; the window-thread job
// rips WMA and keeps its window alive by pumping events at fixed points.
enum class RipPlace { Worker, WindowThread };

// What the job asks of its window. Called on the job's thread; for a worker the window carries
// each call over to the UI thread and returns once it has run there, so a held worker also
// holds its labels and a Stop pressed in reaction to an update is seen at the next test.
class RipJobHost {
public:
    virtual ~RipJobHost() = default;
    virtual void showTrackCount(int count) = 0;
    virtual void showTrack(int counter, const QString &name, const QString &size) = 0;
    virtual void showPercent(int percent) = 0;
    virtual void showProgress(const QString &written, int percent) = 0;
    // Files of tracks already read that are still being encoded (a rip on several threads).
    virtual void showEncoding(int files) { Q_UNUSED(files); }
    // A plain box without icon: Yes/No (true for Yes) or OK. The window stays usable while it
    // is open, and a Stop answers it (No).
    virtual bool askYesNo(const QString &caption, const QString &text) = 0;
    virtual void tell(const QString &caption, const QString &text) = 0;
    // Closes the window, then opens the file browser on browseDir unless it is empty.
    virtual void finish(const QString &browseDir) = 0;
    // A component raised an error: the job has closed the file and the track; the window closes
    // and the error goes on to the application's error handler.
    virtual void fail(std::exception_ptr error) = 0;
    // Window-thread job only: lets the window repaint and take Stop.
    virtual void pumpEvents() {}
    // After the last track, before finish: what the rip proved, and the log and cue sheet
    // written beside the files (none when "write log" is off).
    virtual void proven(const RipProof &proof, const QStringList &written)
    {
        Q_UNUSED(proof);
        Q_UNUSED(written);
    }
};

// "Disk write:" text of a written count of 4-byte frames: megabytes with two decimals + "MB".
QString writtenSizeText(qint64 frames);

// Percentage of a track: 100 when the block was empty or the track has no length.
int trackPercent(qint64 written, qint64 trackSamples, int blockElements);

// The rip of every ticked row, run once. Stop and Pause come through `control`.
class RipJob {
public:
    RipJob(RipPlace place, const RipComponents &components, RipSnapshot snapshot,
           RipJobHost &host, JobControl &control);
    RipJob(RipJob &&) noexcept;
    ~RipJob();
    void run();
    // One entry per ticked row reached, in row order; complete once run() has returned.
    const QList<RipTrackResult> &results() const { return m_results; }

    static constexpr int kBlockRequest = 88200;

private:
    // Refused: the encoder or the naming settings cannot be used, and the job ends. Handed
    // over: read, its encoder at work on another thread.
    enum class TrackEnd { Ripped, Skipped, Refused, HandedOver };
    struct Progress {
        qint64 written;      // frames, never above trackSamples
        int percent;
        qint64 trackSamples;
        // Where this pass lies in the bar: reading and encoding take half each when a
        // normalized track is read into a spool first.
        int shownFrom = 0;
        int shownWidth = 100;
        int shown() const { return shownFrom + percent * shownWidth / 100; }
        bool encoding = false;     // the pass from the spool to the encoder
        bool gaveUpReading = false; // left after a read error answered No
        bool gaveUpWriting = false; // left after a write error answered No: the file is not whole
        bool failed = false;       // ended by an error already told
    };

    void pass();
    TrackEnd ripTrack(int row);
    void settle(TrackEnd end);
    bool setUpEncoder(const IniFile &ini);
    bool setUpMp3(const IniFile &ini);
    bool setUpOgg(const IniFile &ini);
    bool mayWrite(const QString &path);
    bool createOutput(const PartFile &part);
    bool openTrack(int row);
    std::optional<uint32_t> testRead(const IniFile &ini, int row);
    Progress copyBlocks(const IniFile &ini, const QString &path);
    bool copyOneBlock(PcmSpool *spool, Progress &progress, bool measure);
    Progress encodeSpool(PcmSpool &spool, float ratio);
    bool encodeOneBlock(PcmSpool &spool, float ratio, Progress &progress);
    bool store(SampleBlock &block, PcmSpool *spool, Progress &progress);
    // The block measured for ReplayGain, written and counted as encoded; true when written.
    static bool encodeBlock(AudioFile &file, TrackLoudness &loudness, SampleBlock &block,
                            TrackFrames &frames);
    RipTrackResult::Outcome finishTrack(int row, PartFile &part, const Progress &progress);
    void endReading(const Progress &progress);
    RipTrackResult::Outcome commitOrTell(PartFile &part, bool whole);
    TrackFrames &trackFrames() { return m_results.last().frames; }
    bool saveTags(int row, const QString &path, AudioInformation &info, WrittenAudio &written,
                  const TrackLoudness &loudness) const;
    // The rip on several threads (rip_job_encoders.cpp).
    void startEncoders();
    TrackEnd handOver(const Progress &progress);
    void encodeTrack(TrackEncoding &t, const std::atomic_bool &abandoned) const;
    void settleEncoded(int keep);
    void settleEncoded(TrackEncoding &t);
    RipTrackResult::Outcome outcomeOf(TrackEncoding &t);
    AudioFile &file();
    AudioTransform &transform();
    TrackLoudness &trackLoudness();
    void saveCover();
    void tagAlbumGain();
    void reportReadLosses();
    void pump(int times);
    NamingSettings naming(const IniFile &ini) const;
    void prove();
    bool worker() const { return m_place == RipPlace::Worker; }

    RipPlace m_place;
    RipComponents m_c;
    RipSnapshot m_snapshot;
    RipJobHost &m_host;
    JobControl &m_control;
    int m_tickedCount = 0;
    bool m_coverArt = false; // "cover art": embed the front cover and save it beside the tracks
    QString m_browseDir;
    std::unique_ptr<RipProof> m_proof;
    std::unique_ptr<RipLoudness> m_loudness; // ReplayGain: the album, and each track's start
    TrackLoudness m_trackLoudness;           // of the track encoded here (one thread)
    QList<RipTrackResult> m_results;
    WrittenAudio m_written; // what the current track's file holds
    // With more than one encoder thread: the encoders, and the track being read for them.
    std::unique_ptr<TrackEncoders> m_encoders;
    std::unique_ptr<TrackEncoding> m_track;
};
