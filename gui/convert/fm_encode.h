#pragma once

#include "gui/convert/conversion_window.h"

// Encodes the chosen WAV files to MP3, WMA or OGG with the encoder the launching command set
// up on AudioFilew.
class Tfm_encode : public ConversionWindow {
    Q_OBJECT
public:
    explicit Tfm_encode(QWidget *parent = nullptr);

    // 0 MP3, 1 WMA, 2 OGG; set by the command before each show. No other value starts a job.
    int encodeformat = 0;
    QLabel *lbl_encodesize;

protected:
    std::unique_ptr<ConversionThread> createWorker(ConversionJob job) override;
};
