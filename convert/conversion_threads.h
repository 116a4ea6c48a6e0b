#pragma once

#include "convert/conversion_loop.h"

#include <QThread>

// One conversion job on its own thread. The owner starts it and joins it (wait()) after its
// view's finished() arrived or after asking it to stop; the workers differ only in the name
// of the files they write.
class ConversionThread : public QThread {
    Q_OBJECT
protected:
    ConversionThread(ConversionJob job, QString targetSuffix);
    void run() override;

private:
    void closeFilesAfterFailure();

    ConversionJob m_job;
    QString m_suffix;
};

class TThreadWavtoMp3 final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadWavtoMp3(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral(".mp3")) {}
};

class TThreadWavtoWma final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadWavtoWma(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral(".wma")) {}
};

class TThreadWavtoOgg final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadWavtoOgg(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral(".ogg")) {}
};

class TThreadWavtoFlac final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadWavtoFlac(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral(".flac")) {}
};

class TThreadWavtoOpus final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadWavtoOpus(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral(".opus")) {}
};

// Decoding and normalizing are one operation: every input becomes "<name>_NOM.wav".
class TThreadDecode final : public ConversionThread {
    Q_OBJECT
public:
    explicit TThreadDecode(ConversionJob job)
        : ConversionThread(std::move(job), QStringLiteral("_NOM.wav")) {}
};
