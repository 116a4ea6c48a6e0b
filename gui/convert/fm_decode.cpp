#include "gui/convert/fm_decode.h"

#include "convert/conversion_threads.h"

Tfm_decode::Tfm_decode(QWidget *parent)
    : ConversionWindow({QStringLiteral("Decode"), QStringLiteral("file name"),
                        QStringLiteral("Disk writed:"), QStringLiteral("decode"), true},
                       parent),
      lbl_decodesize(amountLabel())
{
    setObjectName(QStringLiteral("fm_decode"));
}

std::unique_ptr<ConversionThread> Tfm_decode::createWorker(ConversionJob job)
{
    return std::make_unique<TThreadDecode>(std::move(job));
}
