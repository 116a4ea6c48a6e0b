#include "convert/conversion_loop.h"

#include "audio/audio_file.h"
#include "audio/audio_transform.h"
#include "convert/conversion_figures.h"
#include "jobs/job_control.h"
#include "jobs/part_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr float kNormalizeRatio = 98.0f;

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// The user said Yes: a read-only target loses only its read-only state.
void makeWritable(const QString &path)
{
    const QFileDevice::Permissions perms = QFile::permissions(path);
    if (!(perms & QFileDevice::WriteOwner))
        QFile::setPermissions(path, perms | QFileDevice::WriteOwner);
}

} // namespace

ConversionLoop::ConversionLoop(const ConversionJob &job, const QString &targetSuffix)
    : m_job(job), m_suffix(targetSuffix)
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
    m_job.transform->Reset();
    const bool whole = pumpBlocks(source, target);
    closeBoth();
    if (whole)
        keepTarget(part);
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
    if (!m_job.view->confirmOverwrite(target))
        return false;
    makeWritable(target);
    return true;
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

bool ConversionLoop::pumpBlocks(const QString &source, const QString &target)
{
    AudioFile &reader = *m_job.reader;
    AudioFile &writer = *m_job.writer;
    const int request = reader.SampleRate() * reader.Channels();
    ConversionProgress progress(reader.SampleCount(), reader.SamplesPerFrame(), reader.Channels());
    m_job.view->setProgress(0);
    while (progress.percent() < 100) {
        SampleBlock block = reader.ReadBlock(request);
        if (reader.ErrorCode() != 0 && !m_job.control->stopRequested()) {
            reportInvalid(source);
            return false;
        }
        m_job.transform->NormalizeBlock(block, kNormalizeRatio, -1);
        writer.WriteBlock(block);
        if (writer.ErrorCode() != 0 && !m_job.control->stopRequested()) {
            reportInvalid(target);
            return false;
        }
        const int n = block.size();
        progress.add(n);
        m_job.view->setProgress(progress.percent());
        m_job.view->setConverted(progress.amount());
        if (n == 0) {
            progress.finish();
            m_job.view->setProgress(100);
            return true;
        }
        if (!m_job.control->checkpoint())
            return false;
    }
    return true;
}

// The written file replaces the target only once it is whole on the disk; a failure at the
// close (a full disk at the flush) fails the file like any other write.
void ConversionLoop::keepTarget(PartFile &part)
{
    const bool closed = m_job.writer->ErrorCode() == 0;
    if ((!closed || !part.commit()) && !m_job.control->stopRequested())
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
