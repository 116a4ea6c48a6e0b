#include "gui/convert/fm_encode.h"

#include "convert/conversion_threads.h"

Tfm_encode::Tfm_encode(QWidget *parent)
    : ConversionWindow({QStringLiteral("Encode to"), QStringLiteral("track name"),
                        QStringLiteral("Encoded:"), QStringLiteral("encode"), false},
                       parent),
      lbl_encodesize(amountLabel())
{
    setObjectName(QStringLiteral("fm_encode"));
}

std::unique_ptr<ConversionThread> Tfm_encode::createWorker(ConversionJob job)
{
    switch (encodeformat) {
    case 0: return std::make_unique<TThreadWavtoMp3>(std::move(job));
    case 1: return std::make_unique<TThreadWavtoWma>(std::move(job));
    case 2: return std::make_unique<TThreadWavtoOgg>(std::move(job));
    case 3: return std::make_unique<TThreadWavtoFlac>(std::move(job));
    case 4: return std::make_unique<TThreadWavtoOpus>(std::move(job));
    default: return nullptr;
    }
}
