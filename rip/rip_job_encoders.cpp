// The rip on several threads. The reader reads each track into a spool, as a normalized rip
// always did, and hands it to an encoder of its own; it then goes on with the next track and
// waits only when every encoder is busy. The tracks come back to the reader in row order, and
// it settles them there (the commit, what is told, the proof), so that the files, the log
// and the messages are those of a rip on one thread.
#include "rip/rip_job.h"

#include "disc/audio_grabber.h"
#include "jobs/job_control.h"
#include "rip/rip_proof.h"
#include "rip/track_encoders.h"

void RipJob::startEncoders()
{
    // The window-thread job stays on its thread: its encoder belongs there.
    const int threads = worker() ? ripEncoderThreads(m_snapshot.encoderThreads) : 1;
    if (threads > 1)
        m_encoders = std::make_unique<TrackEncoders>(threads);
}

AudioFile &RipJob::file()
{
    return m_track ? m_track->file : m_c.file;
}

AudioTransform &RipJob::transform()
{
    return m_track ? m_track->transform : m_c.transform;
}

TrackLoudness &RipJob::trackLoudness()
{
    return m_track ? m_track->loudness : m_trackLoudness;
}

// A track that ended without an encoder is recorded now, or in line after those still being
// encoded; a track read for its encoder is handed over once an encoder is free.
void RipJob::settle(TrackEnd end)
{
    if (!m_encoders) {
        const RipTrackResult &result = m_results.last();
        if (result.outcome != RipTrackResult::Outcome::Saved)
            m_proof->addUnripped(result.track, result.title, result.outcome);
        return;
    }
    if (end != TrackEnd::HandedOver) {
        m_encoders->add(std::move(m_track), {});
        return;
    }
    settleEncoded(m_encoders->threads() - 1);
    m_encoders->add(std::move(m_track), [this](TrackEncoding &t, const std::atomic_bool &abandoned) {
        encodeTrack(t, abandoned);
    });
    m_host.showEncoding(m_encoders->encoding());
}

// The reading is over: the track's encoder gets what it needs to encode, tag and be proven.
RipJob::TrackEnd RipJob::handOver(const Progress &progress)
{
    TrackEncoding &t = *m_track;
    t.sums = m_c.grabber.trackChecksums();
    t.trackSamples = m_c.grabber.trackSamples();
    endReading(progress);
    t.handedOver = true;
    t.failed = progress.failed;
    t.gaveUpWriting = progress.gaveUpWriting;
    t.encode = !t.failed && !t.gaveUpWriting && !m_control.stopRequested();
    t.written = m_written;
    t.result = m_results.last();
    return TrackEnd::HandedOver;
}

// On the encoder's thread: the spool through the encoder, with the gain when normalized, then
// the close and the tags. Pause holds it between blocks; a Stop ends it.
void RipJob::encodeTrack(TrackEncoding &t, const std::atomic_bool &abandoned) const
{
    if (t.encode) {
        m_control.reached(JobStep::EncodingStarts);
        bool written = t.spool.rewind();
        while (written && m_control.checkpoint() && !abandoned) {
            SampleBlock block = t.spool.read(kBlockRequest);
            if (block.isEmpty())
                break;
            if (t.normalize)
                t.transform.NormalizeBlock(block, t.ratio, -1);
            written = encodeBlock(t.file, t.loudness, block, t.result.frames);
        }
        t.writeFailed = !written;
        m_control.reached(JobStep::EncodingEnded);
    }
    t.spool = PcmSpool(); // its disk space goes now, not when the track is settled
    t.file.CloseFile();
    const bool stopped = abandoned || m_control.stopRequested();
    t.tagged = t.encode && !stopped && !t.writeFailed && t.file.ErrorCode() == 0
        && t.result.frames.whole() && saveTags(t.result.track, t.part->path(), t.information, t.written, t.loudness);
}

// Settles the tracks whose encoders are done, in row order, waiting for the first ones until
// at most `keep` tracks are left in line.
void RipJob::settleEncoded(int keep)
{
    if (!m_encoders)
        return;
    for (const std::unique_ptr<TrackEncoding> &t : m_encoders->takeDone(keep))
        settleEncoded(*t);
    m_host.showEncoding(m_encoders->encoding());
}

void RipJob::settleEncoded(TrackEncoding &t)
{
    if (t.error)
        std::rethrow_exception(t.error);
    RipTrackResult &result = m_results[t.index];
    if (t.handedOver) {
        result = t.result;
        result.outcome = outcomeOf(t);
    }
    if (result.outcome == RipTrackResult::Outcome::Saved) {
        m_loudness->keepTrack(result.path, std::move(t.loudness));
        m_proof->addTrack(result.track, result.path, result.title, t.sums, t.trackSamples,
                          result.lostFrames, t.written, result.testCrc32);
    }
    else
        m_proof->addUnripped(result.track, result.title, result.outcome);
}

// As finishTrack decides on one thread. A write error is asked about as there, once the
// reader is back at this track; the file cannot be whole, whatever the answer.
RipTrackResult::Outcome RipJob::outcomeOf(TrackEncoding &t)
{
    if (m_control.stopRequested())
        return RipTrackResult::Outcome::Stopped;
    if (t.failed)
        return RipTrackResult::Outcome::Failed; // already told
    if (!t.tagged && t.counter != m_tickedCount)
        m_host.showTrack(t.counter, t.shownName, t.shownSize); // what is told names this track
    if (t.writeFailed)
        m_host.askYesNo(QStringLiteral("File write error!"), QStringLiteral("Continue?"));
    return commitOrTell(*t.part, t.tagged);
}
