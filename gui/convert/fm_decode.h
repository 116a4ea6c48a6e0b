#pragma once

#include "gui/convert/conversion_window.h"

// Decodes MP3, WMA and OGG files, or normalizes WAV files, into "<name>_NOM.wav" files; it
// does not know which of the two commands opened it.
class Tfm_decode : public ConversionWindow {
    Q_OBJECT
public:
    explicit Tfm_decode(QWidget *parent = nullptr);

    QLabel *lbl_decodesize;

protected:
    std::unique_ptr<ConversionThread> createWorker(ConversionJob job) override;
};
