#pragma once

#include "codec/audio_file.h"
#include "codec/audio_transform.h"
#include "disc/track_checksums.h"
#include "jobs/part_file.h"
#include "rip/pcm_spool.h"
#include "rip/rip_loudness.h"
#include "rip/rip_track_result.h"
#include "rip/written_audio.h"
#include "tags/audio_information.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// One track of a rip on several threads: what the reader leaves for the track's encoder (the
// spool, the created file, the checksums of the read) and what the encoder leaves for the
// reader, which settles the tracks in row order. Only one thread uses it at a time: the reader
// until it hands the track over, the encoder until it is done, then the reader again.
struct TrackEncoding {
    int index = 0;   // into the job's results
    int counter = 0; // the track's place among the ticked rows, as shown
    QString shownName;
    QString shownSize;
    std::optional<PartFile> part; // none when the track was left before its file was made
    AudioFile file;
    AudioTransform transform; // has measured the peak when `normalize`
    AudioInformation information;
    PcmSpool spool;
    bool normalize = false;
    float ratio = 0;
    RipTrackResult result; // as the reading left it; the encoder adds frames.encoded
    WrittenAudio written;
    TrackLoudness loudness; // fed by the encoder
    TrackChecksums sums;
    qint64 trackSamples = 0;
    bool handedOver = false; // the reading is over; else the track ended before it
    bool encode = false;     // the reading filled the spool to be encoded
    bool failed = false; // the reading ended the track with an error already told
    bool gaveUpWriting = false;
    // Left by the encoder.
    bool writeFailed = false; // a block or the close did not reach the disk
    bool tagged = false;      // the file is whole, closed and tagged: ready for its commit
    std::exception_ptr error; // a component raised it on the encoder's thread
};

// The encoders of a rip: each track handed over is encoded on a thread of its own while the
// reader goes on with the next track. Tracks stay in line in row order until the reader takes
// them back, so that whatever it tells or records of them comes in that order.
class TrackEncoders {
public:
    // Runs on the encoder's thread; ends early once `abandoned` is set.
    using Work = std::function<void(TrackEncoding &, const std::atomic_bool &abandoned)>;
    explicit TrackEncoders(int threads) : m_threads(threads) {}
    // Tells the encoders still at work to end and waits for them.
    ~TrackEncoders();
    TrackEncoders(const TrackEncoders &) = delete;
    TrackEncoders &operator=(const TrackEncoders &) = delete;

    int threads() const { return m_threads; }
    // Puts the track in line; with `work`, starts its encoder on a thread of its own now.
    void add(std::unique_ptr<TrackEncoding> track, Work work);
    // The tracks at the head of the line whose encoders are done, in row order; waits for the
    // head until at most `keep` tracks stay in line.
    std::deque<std::unique_ptr<TrackEncoding>> takeDone(int keep);
    // Tracks in line whose encoders have not finished.
    int encoding() const;

private:
    struct Entry {
        std::unique_ptr<TrackEncoding> track;
        std::thread thread;
        bool done = false;
    };

    const int m_threads;
    mutable std::mutex m_mutex;
    std::condition_variable m_doneChanged;
    std::deque<std::unique_ptr<Entry>> m_line;
    std::atomic_bool m_abandon{false};
};

// The number of encoders for a rip: "encoder threads", or `override` when given; 0 is one per
// core.
int ripEncoderThreads(std::optional<int> override);
