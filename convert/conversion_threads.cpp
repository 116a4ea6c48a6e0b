#include "convert/conversion_threads.h"

#include "codec/audio_file.h"

ConversionThread::ConversionThread(ConversionJob job, QString targetSuffix)
    : m_job(std::move(job)), m_suffix(std::move(targetSuffix))
{
}

void ConversionThread::run()
{
    std::exception_ptr error;
    try {
        ConversionLoop(m_job, m_suffix).run();
    } catch (...) {
        error = std::current_exception();
        closeFilesAfterFailure();
    }
    m_job.view->finished(error);
}

// The first failure is the one reported; a second one while closing adds nothing to it.
void ConversionThread::closeFilesAfterFailure()
{
    for (AudioFile *file : {m_job.reader, m_job.writer}) {
        try {
            file->CloseFile();
        } catch (...) {
        }
    }
}
