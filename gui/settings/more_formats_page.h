#pragma once

#include "gui/settings/setting_page.h"

class NumericField;
class TskCheckBox;
class TskComboBox;

// "More": FLAC (compression level, verify, whether the WAV button writes WAV or FLAC) and Opus
// (bit rate and its mode, whether the OGG button writes Vorbis or Opus), and the ReplayGain
// tags of every format. One tab for them: the strip has room for one more.
class MoreFormatsPage : public SettingPage {
    Q_OBJECT
public:
    explicit MoreFormatsPage(QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    NumericField *ud_flaclevel;
    TskCheckBox *skcb_flacverify;
    TskComboBox *skcb_losslessformat;
    NumericField *ud_opusbitrate;
    TskComboBox *skcb_opusbitratemode;
    TskComboBox *skcb_oggcodec;
    TskComboBox *skcb_replaygain;

private:
    QWidget *createFlacGroup();
    QWidget *createOpusGroup();
    QWidget *createReplayGainGroup();
    struct Shown {
        int level;
        bool verify;
        QString losslessFormat;
        int bitrate, mode;
        QString oggCodec;
        QString replayGain;
    };
    void show(const Shown &values);
};
