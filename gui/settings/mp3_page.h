#pragma once

#include "gui/settings/setting_page.h"

class NumericField;
class TskComboBox;

// "MP3": the encoder's sampling frequency, channels, bit rate and VBR options.
class Mp3Page : public SettingPage {
    Q_OBJECT
public:
    explicit Mp3Page(QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    TskComboBox *skcb_mp3frequency, *skcb_mp3channel, *skcb_mp3bitrate, *skcb_mp3vbrbitrate;
    NumericField *ud_mp3vbrquality;

private:
    void show(int frequency, int channel, int bitrate, int vbrBitrate, int vbrQuality);
};
