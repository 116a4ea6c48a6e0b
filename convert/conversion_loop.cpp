#include "convert/conversion_loop.h"

#include "audio/audio_file.h"
#include "convert/block_copy.h"
#include "convert/conversion_figures.h"
#include "jobs/job_control.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr float kNormalizeRatio = 98.0f;

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
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

private:
    const ConversionJob &m_job;
};

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
    if (!createTarget(target))
        return;
    pumpBlocks(source, target);
    closeBoth();
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

bool ConversionLoop::createTarget(const QString &target)
{
    m_job.writer->CreateFile(target, 0);
    if (m_job.writer->ErrorCode() == 0)
        return true;
    reportInvalid(target);
    closeBoth();
    return false;
}

void ConversionLoop::pumpBlocks(const QString &source, const QString &target)
{
    JobObserver observer(m_job);
    const CopyEnd end = copyFile(source, *m_job.reader, *m_job.writer, *m_job.transform,
                                 kNormalizeRatio, observer);
    if (m_job.control->stopRequested())
        return;
    if (end == CopyEnd::ReadFailed)
        reportInvalid(source);
    else if (end == CopyEnd::WriteFailed)
        reportInvalid(target);
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
