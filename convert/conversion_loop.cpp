#include "convert/conversion_loop.h"

#include "codec/audio_file.h"
#include "convert/block_copy.h"
#include "convert/conversion_figures.h"
#include "jobs/job_control.h"
#include "jobs/part_file.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr float kNormalizeRatio = 98.0f;

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// The job's window shows the copy's progress; Pause and Stop act between blocks.
class JobObserver : public CopyObserver {
public:
    explicit JobObserver(const ConversionJob &job) : m_job(job) {}
    void progress(int percent, const QString &written) override
    {
        m_job.view->setProgress(percent);
        m_job.view->setConverted(written);
    }
    bool mayGoOn() override { return m_job.control->checkpoint(); }
    void reached(JobStep step) override { m_job.control->reached(step); }

private:
    const ConversionJob &m_job;
};

} // namespace

ConversionLoop::ConversionLoop(const ConversionJob &job, const QString &targetSuffix)
    : m_job(job), m_suffix(targetSuffix), m_gain(replayGainMode(IniFile()))
{
}

void ConversionLoop::run()
{
    for (int i = 0; i < m_job.files.size(); ++i) {
        if (!m_job.control->checkpoint())
            return;
        convertFile(i + 1, m_job.files.at(i));
        if (m_job.control->stopRequested())
            return;
    }
    tagAlbum();
}

void ConversionLoop::tagAlbum()
{
    if (m_gain != ReplayGainMode::Album)
        return;
    for (const AlbumGain::Failure &failure : m_album.tagFiles())
        m_job.view->reportAlbumGainFailure(failure.message);
}

void ConversionLoop::convertFile(int number, const QString &source)
{
    if (!openSource(source))
        return;
    m_job.view->showFile(number, fileName(source), megabytes(double(QFileInfo(source).size())));
    const QString target = conversionTarget(source, m_job.outputDir, m_suffix);
    if (!prepareTarget(source, target)) {
        m_job.reader->CloseFile();
        return;
    }
    PartFile part(target);
    if (!createTarget(part))
        return;
    LoudnessMeter loudness;
    const bool measured = m_gain != ReplayGainMode::None && holdsReplayGain(target);
    const bool whole = pumpBlocks(source, target, measured ? &loudness : nullptr);
    closeBoth();
    if (whole)
        keepTarget(part, measured ? &loudness : nullptr);
}

bool ConversionLoop::openSource(const QString &source)
{
    m_job.reader->OpenFile(source, 0, 1);
    if (m_job.reader->ErrorCode() == 0)
        return true;
    reportInvalid(source);
    m_job.reader->CloseFile();
    return false;
}

bool ConversionLoop::prepareTarget(const QString &source, const QString &target)
{
    // Writing over the file being read would destroy it.
    if (sameFile(source, target)) {
        reportInvalid(target);
        return false;
    }
    if (!QFileInfo::exists(target))
        return true;
    // Yes: PartFile's commit replaces even a read-only target; a failed or stopped file leaves
    // it untouched.
    return m_job.view->confirmOverwrite(target);
}

bool ConversionLoop::createTarget(const PartFile &part)
{
    m_job.writer->CreateFile(part.path(), 0);
    if (m_job.writer->ErrorCode() == 0)
        return true;
    reportInvalid(part.finalPath());
    closeBoth();
    return false;
}

bool ConversionLoop::pumpBlocks(const QString &source, const QString &target, LoudnessMeter *loudness)
{
    JobObserver observer(m_job);
    const CopyEnd end = copyFile(source, *m_job.reader, *m_job.writer, *m_job.transform,
                                 kNormalizeRatio, observer, loudness);
    if (m_job.control->stopRequested())
        return false;
    if (end == CopyEnd::ReadFailed)
        reportInvalid(source);
    else if (end == CopyEnd::WriteFailed)
        reportInvalid(target);
    return end == CopyEnd::Done;
}

// The written file replaces the target only once it is whole on the disk, and only when no
// Stop came first, however late; a failure at the close (a full disk at the flush) fails the
// file like any other write.
void ConversionLoop::keepTarget(PartFile &part, LoudnessMeter *loudness)
{
    const bool closed = m_job.writer->ErrorCode() == 0;
    const bool tagged = closed && (!loudness || tagTrackGain(part.path(), loudness->values()));
    if (tagged && commitUnlessStopped(part, *m_job.control)) {
        if (loudness && m_gain == ReplayGainMode::Album)
            m_album.keep(part.finalPath(), std::move(*loudness));
        m_job.view->fileConverted(part.finalPath());
        return;
    }
    if (m_job.control->stopRequested())
        return;
    if (part.conflicted())
        m_job.view->reportConflict(part.finalPath());
    else
        reportInvalid(part.finalPath());
}

void ConversionLoop::reportInvalid(const QString &path)
{
    m_job.view->reportInvalid(fileName(path));
}

void ConversionLoop::closeBoth()
{
    m_job.reader->CloseFile();
    m_job.writer->CloseFile();
}
