#pragma once

#include "gui/settings/setting_page.h"

class NumericField;
class TskCheckBox;
class TskComboBox;

// "OGG": sampling frequency, channels, bit rate, and the optional VBR bounds and quality.
// The bit-rate lists guard each other while the user picks: the bounds must enclose the bit
// rate, and 32000 Hz mono takes no more than 64 kbit/s.
class OggPage : public SettingPage {
    Q_OBJECT
public:
    explicit OggPage(QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    void skcb_oggvbrenabledClick();
    void skcb_oggqualityenabledClick();

    TskComboBox *skcb_oggfrequency, *skcb_oggchannel, *skcb_oggbitrate;
    TskCheckBox *skcb_oggvbrenabled, *skcb_oggqualityenabled;
    TskComboBox *skcb_oggvbrminbitrate, *skcb_oggvbrmaxbitrate;
    NumericField *ud_oggquality;

private:
    QWidget *createOptionGroup();
    QWidget *createVbrGroup();
    QWidget *createQualityGroup();
    bool lowRate() const;
    void limitLowRateBitrate();
    void oggbitrateChange();
    void oggminbitrateChange();
    void oggmaxbitrateChange();
    void rememberPositions();
    // Positions after the last check: where a refused choice goes back to.
    int m_prevBitrate = 0, m_prevMin = 0, m_prevMax = 0;
};
