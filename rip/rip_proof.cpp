#include "rip/rip_proof.h"

#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "jobs/part_file.h"
#include "rip/cue_writer.h"
#include "rip/output_naming.h"

#include <QDir>
#include <QFileInfo>

QString proofBaseName(const QString &album, const IniFile &ini)
{
    return cleanName(album.isEmpty() ? QStringLiteral("rip") : album,
                     NamingSettings::read(ini).replacements);
}

RipProof::RipProof(const AudioGrabber &grabber, const QString &artist, const QString &album)
    : m_grabber(grabber)
{
    RipReport &r = m_report;
    r.date = QDateTime::currentDateTimeUtc();
    r.driveName = grabber.driveName();
    r.driveVendor = grabber.driveVendor();
    r.driveModel = grabber.driveModel();
    r.drivePath = grabber.driveLetter();
    r.grabMode = grabber.GrabModePreset();
    r.retries = grabber.grabOnErrorRetries();
    r.errorAction = grabber.grabOnErrorAction();
    r.speed = grabber.driveSpeed();
    r.readOffset = grabber.readOffset();
    r.toc = grabber.toc();
    r.freedbId = grabber.discId();
    r.accurateRipId = AccurateRipDiscId::fromToc(r.toc);
    r.musicBrainzId = musicBrainzDiscId(r.toc);
    r.artist = artist;
    r.album = album;
    r.namesSource = grabber.namesSource();
    r.onlineAnswers = grabber.onlineAnswers();
}

// The log, the cue sheet and the AccurateRip verdict know a track by its number on the disc.
int RipProof::numberOf(int row) const
{
    const std::vector<CdTocTrack> &toc = m_report.toc.tracks;
    return row >= 1 && row <= int(toc.size()) ? toc[size_t(row - 1)].number : row;
}

void RipProof::addTrack(int row, const QString &path, const QString &title,
                        const TrackChecksums &sums, qint64 expectedFrames, qint64 lostSamples,
                        const WrittenAudio &written, std::optional<uint32_t> testCrc32)
{
    m_report.tracks.append({numberOf(row), path, title, sums, lostSamples, {}, written, testCrc32});
    m_expectedFrames.append(expectedFrames);
}

void RipProof::setAlbumGain(const std::optional<LoudnessValues> &values)
{
    for (RippedTrack &track : m_report.tracks)
        track.written.albumGain = values;
}

void RipProof::addUnripped(int row, const QString &title, RipTrackResult::Outcome outcome)
{
    m_report.unripped.append({numberOf(row), title, outcome});
}

bool RipProof::anyTrackIncomplete() const
{
    for (qsizetype i = 0; i < m_report.tracks.size(); ++i) {
        const RippedTrack &t = m_report.tracks[i];
        if (t.lostSamples > 0 || t.sums.frames < m_expectedFrames[i])
            return true;
    }
    return false;
}

void RipProof::judge(const IniFile &ini)
{
    const AccurateRipAnswer answer = AccurateRipClient(ini.read(settings::accurateRipServer),
                                                       ini.read(settings::cddbTimeout))
                                         .lookup(m_report.accurateRipId);
    m_report.accurateRipStatus = answer.status;
    for (RippedTrack &track : m_report.tracks) {
        const int index = track.number - (m_report.toc.tracks.empty() ? 1 : m_report.toc.tracks.front().number);
        if (answer.status == AccurateRipAnswer::Found)
            track.verdict = accurateRipVerdict(answer.pressings, index, track.sums);
        else if (answer.status == AccurateRipAnswer::NotPresent)
            track.verdict = {AccurateRipVerdict::NotPresent, 0, 0};
    }
}

// "<base>.log", else "<base> (2).log" and on: a log of an earlier rip is never replaced.
QString RipProof::freePath(const QString &directory, const QString &base, int attempt,
                           const QString &ext) const
{
    const QString suffix = attempt == 1 ? QString() : QStringLiteral(" (%1)").arg(attempt);
    return QDir(directory).filePath(fittedName(base, suffix + ext));
}

QStringList RipProof::write(const IniFile &ini, QStringList *failed)
{
    if (ini.read(settings::writeLog) != QLatin1String("yes") || m_report.tracks.isEmpty())
        return {};
    judge(ini);
    const QString directory = QFileInfo(m_report.tracks.last().path).absolutePath();
    const QString base = proofBaseName(m_report.album, ini);
    QString logPath, cuePath;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        logPath = freePath(directory, base, attempt, QStringLiteral(".log"));
        cuePath = freePath(directory, base, attempt, QStringLiteral(".cue"));
        if (!QFileInfo::exists(logPath) && !QFileInfo::exists(cuePath))
            break;
    }
    QStringList written;
    const std::pair<QString, QString> files[] = {{logPath, ripLogText(m_report)},
                                                 {cuePath, cueSheetText(m_report, m_grabber.discCodes(), directory)}};
    for (const auto &[path, text] : files) {
        // Earlier logs are kept: a thousandth rip of one album gets none.
        if (!QFileInfo::exists(path) && writeWholeFile(path, text.toUtf8()))
            written.append(path);
        else if (failed)
            failed->append(path);
    }
    return written;
}
