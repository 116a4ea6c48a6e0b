// The passes over one track's blocks: from the grabber straight to the encoder, or into a spool
// while the peak is measured and then from the spool to the encoder with one gain. Each pass
// counts what it handled in the track's TrackFrames, which decide whether the file is whole.
#include "rip/rip_job.h"

#include "codec/audio_file.h"
#include "codec/audio_transform.h"
#include "disc/audio_grabber.h"
#include "jobs/job_control.h"
#include "rip/pcm_spool.h"
#include "rip/rip_loudness.h"
#include "rip/track_encoders.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QFileInfo>
#include <algorithm>

// Without normalization the blocks go straight to the encoder, unchanged. With it the track is
// read once into a spool while its peak is measured, then encoded from there with one gain.
RipJob::Progress RipJob::copyBlocks(const IniFile &ini, const QString &path)
{
    Progress progress{0, 0, m_c.grabber.trackSamples()};
    m_host.showPercent(0);
    const bool normalize = ini.read(settings::normalize) == QLatin1String(settings::kNormalizeOn);
    const float ratio = float(ini.read(settings::normalizeRatio));
    m_written.normalizeOn = normalize;
    m_written.ratio = ini.read(settings::normalizeRatio);
    transform().Reset();
    if (m_track) {
        m_track->normalize = normalize;
        m_track->ratio = ratio;
    }
    if (!normalize && !m_track) {
        m_control.reached(JobStep::EncodingStarts);
        while (progress.percent < 100 && copyOneBlock(nullptr, progress, false)) {
        }
        m_control.reached(JobStep::ReadingEnded);
        m_control.reached(JobStep::EncodingEnded);
        return progress;
    }
    // On several threads every track is spooled: its encoder reads the spool while the reader
    // goes on with the next track.
    PcmSpool ownSpool;
    PcmSpool &spool = m_track ? m_track->spool : ownSpool;
    if (!spool.open(QFileInfo(path).absolutePath())) {
        m_host.tell(QStringLiteral("Error"), QStringLiteral("Failed to create file ") + path);
        progress.failed = true;
        return progress;
    }
    progress.shownWidth = m_track ? 100 : 50;
    while (progress.percent < 100 && copyOneBlock(&spool, progress, normalize)) {
    }
    if (normalize)
        m_written.peakBefore = transform().peak();
    m_control.reached(JobStep::ReadingEnded);
    if (m_track)
        return progress;
    // After a Stop the encoding pass would only write a block (window-thread job) to no use;
    // after a write answered No the file cannot be whole, and encoding would fail and ask again.
    if (!progress.gaveUpWriting && !m_control.stopRequested())
        progress.gaveUpWriting = encodeSpool(spool, ratio).gaveUpWriting;
    return progress;
}

// Test and copy: a first read of the whole track, of which only its CRC32 is kept, for the
// copy's to repeat. Nothing when the setting is off, the track does not open or Stop came.
std::optional<uint32_t> RipJob::testRead(const IniFile &ini, int row)
{
    if (!m_snapshot.testAndCopy.value_or(ini.read(settings::testAndCopy) == QLatin1String("yes")))
        return std::nullopt;
    m_c.grabber.setTrackNum(row);
    m_c.grabber.OpenTrack(row);
    bool whole = m_c.grabber.errorCode() == 0;
    while (whole) {
        pump(1);
        if (worker())
            m_control.checkpoint();
        if (m_c.grabber.ReadBlock(kBlockRequest).isEmpty())
            break;
        whole = !(worker() && m_control.stopRequested());
    }
    const uint32_t crc = m_c.grabber.trackChecksums().crc32;
    m_c.grabber.CloseTrack();
    return whole ? std::optional(crc) : std::nullopt;
}

bool RipJob::copyOneBlock(PcmSpool *spool, Progress &progress, bool measure)
{
    pump(1);
    if (worker())
        m_control.checkpoint(); // Pause holds here, between blocks
    SampleBlock block = m_c.grabber.ReadBlock(kBlockRequest);
    if (m_c.grabber.errorCode() != 0
        && !m_host.askYesNo(QStringLiteral("Track read error!"), QStringLiteral("Continue?"))) {
        progress.gaveUpReading = true;
        trackFrames().readEnded = true; // the track ends here as if complete
        return false;
    }
    if (worker() && m_control.stopRequested())
        return false; // the worker writes nothing after a Stop
    if (block.isEmpty() || progress.written + block.size() / 2 >= progress.trackSamples)
        m_control.reached(JobStep::LastBlockRead);
    pump(2);
    if (measure)
        transform().MeasureBlock(block);
    return store(block, spool, progress);
}

RipJob::Progress RipJob::encodeSpool(PcmSpool &spool, float ratio)
{
    Progress progress{0, 0, spool.frames(), 50, 50};
    progress.encoding = true;
    m_control.reached(JobStep::EncodingStarts);
    if (!spool.rewind()
        && !m_host.askYesNo(QStringLiteral("File write error!"), QStringLiteral("Continue?"))) {
        progress.gaveUpWriting = true;
        return progress;
    }
    while (progress.percent < 100 && encodeOneBlock(spool, ratio, progress)) {
    }
    m_control.reached(JobStep::EncodingEnded);
    return progress;
}

bool RipJob::encodeOneBlock(PcmSpool &spool, float ratio, Progress &progress)
{
    pump(1);
    if (worker())
        m_control.checkpoint();
    if (worker() && m_control.stopRequested())
        return false;
    SampleBlock block = spool.read(kBlockRequest);
    pump(2);
    m_c.transform.NormalizeBlock(block, ratio, -1);
    return store(block, nullptr, progress);
}

bool RipJob::encodeBlock(AudioFile &file, TrackLoudness &loudness, SampleBlock &block,
                         TrackFrames &frames)
{
    loudness.add(block);
    frames.encoded += block.frames();
    file.WriteBlock(block);
    return file.ErrorCode() == 0;
}

// Hands a block to the spool when there is one, else to the encoder, counts it for the track
// and shows the progress.
bool RipJob::store(SampleBlock &block, PcmSpool *spool, Progress &progress)
{
    TrackFrames &frames = trackFrames();
    const bool reading = !progress.encoding;
    const bool stored = spool ? spool->append(block) : encodeBlock(m_c.file, trackLoudness(), block, frames);
    if (reading && (stored || !spool))
        frames.kept += block.frames();
    if (!stored
        && !m_host.askYesNo(QStringLiteral("File write error!"), QStringLiteral("Continue?"))) {
        progress.gaveUpWriting = true;
        return false;
    }
    const int n = block.size();
    block = SampleBlock();
    progress.written = std::min(progress.written + n / 2, progress.trackSamples);
    progress.percent = trackPercent(progress.written, progress.trackSamples, n);
    frames.readEnded = frames.readEnded || (reading && progress.percent >= 100);
    m_host.showProgress(writtenSizeText(progress.written), progress.shown());
    if (!worker() && m_control.stopRequested())
        return false; // the window-thread job has written the block it read
    pump(2);
    return true;
}
