#include "rip/rip_job.h"

#include "codec/audio_file.h"
#include "disc/audio_grabber.h"
#include "codec/audio_transform.h"
#include "settings/encoder_settings.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "jobs/job_control.h"
#include "jobs/part_file.h"
#include "rip/output_naming.h"
#include "rip/pcm_spool.h"
#include "rip/rip_loudness.h"
#include "rip/rip_proof.h"
#include "rip/track_encoders.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <climits>

QString writtenSizeText(qint64 frames)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(frames) * 4 / 1024 / 1024, 'f', 2) + QStringLiteral("MB");
}

int trackPercent(qint64 written, qint64 trackSamples, int blockElements)
{
    if (blockElements == 0 || trackSamples <= 0)
        return 100;
    return int(written * 100 / trackSamples);
}

RipJob::RipJob(RipPlace place, const RipComponents &components, RipSnapshot snapshot,
               RipJobHost &host, JobControl &control)
    : m_place(place), m_c(components), m_snapshot(std::move(snapshot)), m_host(host),
      m_control(control)
{
}

RipJob::RipJob(RipJob &&) noexcept = default;
RipJob::~RipJob() = default;

void RipJob::run()
{
    try {
        pass();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        // Leave nothing open behind; a second failure here adds nothing to the first.
        try {
            m_c.grabber.CloseTrack();
            m_c.file.CloseFile();
        } catch (...) {
        }
        // Encoders still at work end, and their files go with their tracks.
        m_track.reset();
        m_encoders.reset();
        // The track's temporary file went with the unwinding; the final name is untouched.
        m_host.fail(error);
    }
}

void RipJob::pass()
{
    const int trackCount = m_c.grabber.trackCount();
    auto ticked = [this](int row) {
        return row <= m_snapshot.rows.size() && m_snapshot.rows[row - 1].ticked;
    };
    int count = 0;
    for (int row = 1; row <= trackCount; ++row)
        count += ticked(row) ? 1 : 0;
    m_host.showTrackCount(count);
    m_proof = std::make_unique<RipProof>(m_c.grabber, m_snapshot.artist, m_snapshot.album);
    m_coverArt = IniFile().read(settings::coverArt) == QLatin1String("yes");
    m_loudness = std::make_unique<RipLoudness>(IniFile());
    startEncoders();

    for (int row = 1; row <= trackCount; ++row) {
        if (!ticked(row))
            continue;
        settleEncoded(INT_MAX);
        const TrackEnd end = ripTrack(row);
        if (end == TrackEnd::Refused) {
            m_track.reset();
            settleEncoded(0);
            m_host.finish({});
            return;
        }
        settle(end);
        // Tested after a skipped track too: a Stop pressed while the track's question was open
        // answered it for the user and ends the pass as any Stop does.
        if (m_control.stopRequested())
            break;
    }
    settleEncoded(0);
    tagAlbumGain();
    saveCover();
    prove();
    reportReadLosses();
    m_host.finish(m_browseDir);
}

void RipJob::prove()
{
    if (m_control.stopRequested())
        m_proof->setStopped();
    QStringList failed;
    const QStringList written = m_proof->write(IniFile(), &failed);
    for (const QString &path : failed)
        m_host.tell(QStringLiteral("File write error!"), QStringLiteral("Failed to write file ") + path);
    m_host.proven(*m_proof, written);
}

NamingSettings RipJob::naming(const IniFile &ini) const
{
    std::optional<QString> extension = QStringLiteral(".wma");
    if (worker())
        extension = m_snapshot.extension ? m_snapshot.extension
                    : m_snapshot.outputType ? std::optional(ripExtension(*m_snapshot.outputType, ini))
                                            : std::nullopt;
    NamingSettings settings = NamingSettings::read(ini, extension);
    if (m_snapshot.outputDirectory)
        settings.outputDirectory = *m_snapshot.outputDirectory;
    return settings;
}

RipJob::TrackEnd RipJob::ripTrack(int row)
{
    if (worker())
        m_control.checkpoint(); // a held worker starts no track
    const IniFile ini;
    const NamingSettings naming = this->naming(ini);
    // A stored name that is not UTF-8 would make a look-alike folder: nothing is made.
    if (const TextKey *unusable = naming.unfaithfulKey()) {
        m_host.tell(QStringLiteral("Error"), ini.unfaithfulPathMessage(*unusable));
        return TrackEnd::Refused;
    }
    if (worker())
        createDirectoryLevel(naming.outputDirectory);
    const RipRow &r = m_snapshot.rows[row - 1];
    m_host.showTrack(++m_tickedCount, r.title, r.sizeText);

    const OutputPath out = planOutputPath({r.title, row, m_snapshot.artist, m_snapshot.album}, naming);
    m_browseDir = out.directory;
    m_results.append({row, r.title, out.path});
    if (m_encoders) {
        m_track = std::make_unique<TrackEncoding>();
        m_track->index = int(m_results.size()) - 1;
        m_track->counter = m_tickedCount;
        m_track->shownName = r.title;
        m_track->shownSize = r.sizeText;
    }
    createDirectoryLevels(out.directories);
    if (!setUpEncoder(ini))
        return TrackEnd::Refused;
    m_written = writtenFormat(naming.extension, ini);
    trackLoudness() = m_loudness->startTrack(out.path);
    createDirectoryLevel(out.directory);

    if (!mayWrite(out.path)) {
        file().CloseFile();
        return TrackEnd::Skipped;
    }
    pump(2);
    std::optional<PartFile> ownPart;
    PartFile &part = (m_track ? m_track->part : ownPart).emplace(out.path);
    if (!createOutput(part))
        return TrackEnd::Skipped;
    file().SetPcmFormat(44100, 2);
    const std::optional<uint32_t> testCrc = testRead(ini, row);
    if (!openTrack(row))
        return TrackEnd::Skipped;
    const Progress progress = copyBlocks(ini, part.finalPath());
    m_results.last().testCrc32 = testCrc;
    m_results.last().copyCrc32 = m_c.grabber.trackChecksums().crc32;
    if (m_track)
        return handOver(progress);
    m_results.last().outcome = finishTrack(row, part, progress);
    if (m_results.last().outcome == RipTrackResult::Outcome::Saved)
        m_loudness->keepTrack(out.path, std::move(m_trackLoudness));
    if (m_results.last().outcome == RipTrackResult::Outcome::Saved)
        m_proof->addTrack(row, out.path, r.title, m_c.grabber.trackChecksums(),
                          m_c.grabber.trackSamples(), m_results.last().lostFrames, m_written, testCrc);
    return TrackEnd::Ripped;
}

// The file replaces the final name only when it is whole (TrackFrames) and tagged. After a
// Stop anywhere in the track, up to the commit, or when the close or the tagging fails, the
// temporary file goes and an existing file stays. A read error answered No still ends the
// track as if complete; a write error answered No leaves a file that is not whole.
RipTrackResult::Outcome RipJob::finishTrack(int row, PartFile &part, const Progress &progress)
{
    endReading(progress);
    m_c.file.CloseFile();
    if (m_control.stopRequested())
        return RipTrackResult::Outcome::Stopped;
    if (progress.failed)
        return RipTrackResult::Outcome::Failed; // already told
    return commitOrTell(part, !progress.gaveUpWriting && m_results.last().frames.whole()
                                  && m_c.file.ErrorCode() == 0
                                  && saveTags(row, part.path(), m_c.information, m_written, m_trackLoudness));
}

// What the reading of the track leaves in its result; the track is closed.
void RipJob::endReading(const Progress &progress)
{
    RipTrackResult &result = m_results.last();
    result.trackFrames = progress.trackSamples;
    result.errorAction = m_c.grabber.grabOnErrorAction();
    result.lostFrames = m_c.grabber.unreadableFrames();
    if (progress.gaveUpReading)
        result.lostFrames = std::max(result.lostFrames, progress.trackSamples - progress.written);
    m_c.grabber.CloseTrack();
}

// A whole, closed and tagged file replaces its final name unless a Stop came; any other end
// is told.
RipTrackResult::Outcome RipJob::commitOrTell(PartFile &part, bool whole)
{
    if (whole && commitUnlessStopped(part, m_control))
        return RipTrackResult::Outcome::Saved;
    if (m_control.stopRequested())
        return RipTrackResult::Outcome::Stopped;
    if (part.conflicted())
        m_host.tell(QStringLiteral("Error"), conflictMessage(part.finalPath()));
    else
        m_host.tell(QStringLiteral("File write error!"),
                    QStringLiteral("Failed to write file ") + part.finalPath());
    return RipTrackResult::Outcome::Failed;
}

bool RipJob::setUpEncoder(const IniFile &ini)
{
    if (!worker()) {
        m_c.file.SetWmaFormat(ini.read(settings::wmaFormat));
        return true;
    }
    setFlacAndOpusFormats(file(), ini);
    const QString extension = naming(ini).extension;
    if (extension == QLatin1String(".mp3"))
        return setUpMp3(ini);
    if (extension == QLatin1String(".ogg"))
        return setUpOgg(ini);
    return true;
}

bool RipJob::setUpMp3(const IniFile &ini)
{
    const auto mp3 = Mp3EncoderSettings::read(ini);
    AudioFile &file = this->file();
    if (!file.IsMp3FormatSupported(mp3.frequency, mp3.bitrate, mp3.channels)) {
        m_host.tell(QStringLiteral("Error!"), QStringLiteral("This MP3 format is not supported!"));
        return false;
    }
    file.SetMp3Format(mp3.frequency, mp3.bitrate, mp3.channels);
    file.GetMp3Settings().VbrBitrate(mp3.vbrBitrate);
    file.GetMp3Settings().VbrQuality(mp3.vbrQuality);
    return true;
}

bool RipJob::setUpOgg(const IniFile &ini)
{
    const auto ogg = OggEncoderSettings::read(ini);
    if (!file().IsOggFormatSupported(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                                       ogg.maxBitrate)) {
        m_host.tell(QStringLiteral("Error"), QStringLiteral("This Ogg format is not supported!"));
        return false;
    }
    file().SetOggFormat(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate, ogg.maxBitrate,
                          ogg.quality);
    return true;
}

bool RipJob::mayWrite(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    // Yes: PartFile's commit replaces even a read-only file, keeping its permissions plus the
    // owner's write; until then the file stays exactly as it was.
    return m_host.askYesNo(QStringLiteral("ERROR"), path + QStringLiteral(" is already exist.Overwrite?"));
}

bool RipJob::createOutput(const PartFile &part)
{
    file().CreateFile(part.path(), 0);
    if (file().ErrorCode() == 0)
        return true;
    m_host.tell(QStringLiteral("Error"), QStringLiteral("Failed to create file ") + part.finalPath());
    file().CloseFile();
    return false;
}

bool RipJob::openTrack(int row)
{
    m_c.grabber.setTrackNum(row);
    pump(1);
    m_c.grabber.OpenTrack(m_c.grabber.trackNum());
    if (m_c.grabber.errorCode() == 0)
        return true;
    m_host.tell(QStringLiteral("Error!"), QStringLiteral("Track open Error!"));
    m_c.grabber.CloseTrack();
    file().CloseFile(); // the empty file goes with its PartFile
    return false;
}

// One message at the end of the rip for every saved track that lost audio or whose test and
// copy reads differ.
void RipJob::reportReadLosses()
{
    QStringList reports{readLossReport(m_results), testAndCopyReport(m_results)};
    reports.removeAll(QString());
    if (!reports.isEmpty())
        m_host.tell(QStringLiteral("Track read error!"), reports.join(QStringLiteral("\n\n")));
}

void RipJob::pump(int times)
{
    if (worker())
        return;
    for (int i = 0; i < times; ++i)
        m_host.pumpEvents();
}
