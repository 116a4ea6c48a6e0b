#include "gui/settings/ogg_page.h"

#include "gui/services/prompter.h"
#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace settings;

OggPage::OggPage(QWidget *parent) : SettingPage(parent)
{
    skcb_oggfrequency = new TskComboBox(this);
    skcb_oggchannel = new TskComboBox(this);
    fillChoices(skcb_oggfrequency, choices::oggFrequencies);
    fillChoices(skcb_oggchannel, choices::channels);
    connect(skcb_oggfrequency, &QComboBox::activated, this, &OggPage::limitLowRateBitrate);
    connect(skcb_oggchannel, &QComboBox::activated, this, &OggPage::limitLowRateBitrate);

    auto *page = new QGridLayout(this);
    page->addWidget(groupWith("Sampling Frequency", skcb_oggfrequency), 0, 0);
    page->addWidget(groupWith("Channels Mode", skcb_oggchannel), 0, 1);
    page->addWidget(createOptionGroup(), 1, 0, 1, 2);
    page->addWidget(createVbrGroup(), 2, 0, 1, 2);
    page->addWidget(createQualityGroup(), 3, 0, 1, 2);
    page->setRowStretch(4, 1);
    compactLayouts();
}

QWidget *OggPage::createOptionGroup()
{
    TskGroupBox *box = group("Option");
    skcb_oggbitrate = new TskComboBox(box);
    fillChoices(skcb_oggbitrate, choices::oggBitrates);
    connect(skcb_oggbitrate, &QComboBox::activated, this, &OggPage::oggbitrateChange);
    skcb_oggvbrenabled = new TskCheckBox(QStringLiteral("VBR Enabled"), box);
    skcb_oggqualityenabled = new TskCheckBox(QStringLiteral("Quality Enabled"), box);
    connect(skcb_oggvbrenabled, &TskCheckBox::clicked, this, &OggPage::skcb_oggvbrenabledClick);
    connect(skcb_oggqualityenabled, &TskCheckBox::clicked, this,
            &OggPage::skcb_oggqualityenabledClick);
    auto *grid = new QGridLayout(box);
    addField(grid, 0, 0, "Bitrate:", skcb_oggbitrate);
    grid->addWidget(skcb_oggvbrenabled, 1, 0, 1, 2);
    grid->addWidget(skcb_oggqualityenabled, 1, 2);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget *OggPage::createVbrGroup()
{
    TskGroupBox *box = group("VBR");
    skcb_oggvbrminbitrate = new TskComboBox(box);
    skcb_oggvbrmaxbitrate = new TskComboBox(box);
    fillChoices(skcb_oggvbrminbitrate, choices::oggBitrates);
    fillChoices(skcb_oggvbrmaxbitrate, choices::oggBitrates);
    connect(skcb_oggvbrminbitrate, &QComboBox::activated, this, &OggPage::oggminbitrateChange);
    connect(skcb_oggvbrmaxbitrate, &QComboBox::activated, this, &OggPage::oggmaxbitrateChange);
    fieldGrid(box,
              {{0, 0, "Current min bitrate:", skcb_oggvbrminbitrate},
               {0, 3, "Current max bitrate:", skcb_oggvbrmaxbitrate}},
              2);
    return box;
}

QWidget *OggPage::createQualityGroup()
{
    TskGroupBox *box = group("Quality(Compression)");
    ud_oggquality = new NumericField(0, 1000, 4,
                                     {oggQuality.defaultValue, "Quality must be integer!", true,
                                      1000, "Quality must not be bigger than 1000!"},
                                     box);
    auto *row = new QHBoxLayout(box);
    row->addWidget(ud_oggquality);
    row->addStretch();
    return box;
}

void OggPage::skcb_oggvbrenabledClick()
{
    const bool on = skcb_oggvbrenabled->isChecked();
    skcb_oggvbrminbitrate->setEnabled(on);
    skcb_oggvbrmaxbitrate->setEnabled(on);
}

void OggPage::skcb_oggqualityenabledClick()
{
    ud_oggquality->setEnabled(skcb_oggqualityenabled->isChecked());
}

bool OggPage::lowRate() const
{
    return skcb_oggfrequency->currentIndex() == 0 && skcb_oggchannel->currentIndex() == 0;
}

void OggPage::limitLowRateBitrate()
{
    if (lowRate() && skcb_oggbitrate->currentIndex() > choices::oggLowRateMaxBitratePosition)
        skcb_oggbitrate->setCurrentIndex(choices::oggLowRateMaxBitratePosition);
    rememberPositions();
}

void OggPage::rememberPositions()
{
    m_prevBitrate = skcb_oggbitrate->currentIndex();
    m_prevMin = skcb_oggvbrminbitrate->currentIndex();
    m_prevMax = skcb_oggvbrmaxbitrate->currentIndex();
}

// The bounds only matter, and are only held against the bit rate, while VBR is on: with it
// off their lists are disabled and could never be moved out of the way.
void OggPage::oggbitrateChange()
{
    const int position = skcb_oggbitrate->currentIndex();
    const bool vbr = skcb_oggvbrenabled->isChecked();
    Prompter &prompter = services::prompter();
    if (vbr && position < skcb_oggvbrminbitrate->currentIndex()) {
        prompter.warning(QStringLiteral("Ogg bitrate can not be smaller than minbitrate!"), this);
        skcb_oggbitrate->setCurrentIndex(m_prevBitrate);
    } else if (vbr && position > skcb_oggvbrmaxbitrate->currentIndex()) {
        prompter.warning(QStringLiteral("Ogg bitrate can not be bigger than maxbitrate!"), this);
        skcb_oggbitrate->setCurrentIndex(m_prevBitrate);
    } else if (lowRate() && position > choices::oggLowRateMaxBitratePosition) {
        prompter.information(
            QStringLiteral("Ogg bitrate can not be greater than 64kb if frequency is 32000hz!"),
            this);
        skcb_oggbitrate->setCurrentIndex(choices::oggLowRateMaxBitratePosition);
    }
    rememberPositions();
}

void OggPage::oggminbitrateChange()
{
    const int position = skcb_oggvbrminbitrate->currentIndex();
    Prompter &prompter = services::prompter();
    if (position > skcb_oggbitrate->currentIndex()) {
        prompter.plain(QGuiApplication::applicationDisplayName(),
                       QStringLiteral("minbitrate must be smaller than bitrate!"),
                       Prompter::Buttons::Ok, this);
        skcb_oggvbrminbitrate->setCurrentIndex(m_prevMin);
    } else if (position > skcb_oggvbrmaxbitrate->currentIndex()) {
        prompter.information(QStringLiteral("minbitrate must be smaller than maxbitrate!"), this);
        skcb_oggvbrminbitrate->setCurrentIndex(0);
    }
    rememberPositions();
}

void OggPage::oggmaxbitrateChange()
{
    const int position = skcb_oggvbrmaxbitrate->currentIndex();
    Prompter &prompter = services::prompter();
    if (position < skcb_oggbitrate->currentIndex()) {
        prompter.information(QStringLiteral("maxbitrate must be bigger than bitrate!"), this);
        skcb_oggvbrmaxbitrate->setCurrentIndex(m_prevMax);
    } else if (position < skcb_oggvbrminbitrate->currentIndex()) {
        prompter.information(QStringLiteral("maxbitrate must be bigger than minbitrate!"), this);
        skcb_oggvbrmaxbitrate->setCurrentIndex(m_prevMax);
    }
    rememberPositions();
}

void OggPage::load(const IniFile &ini)
{
    selectValue(skcb_oggfrequency, ini.read(oggFrequency), oggFrequency.defaultValue);
    selectValue(skcb_oggchannel, ini.read(oggChannel), oggChannel.defaultValue);
    selectValue(skcb_oggbitrate, ini.read(oggBitrate), oggBitrate.defaultValue);
    selectValue(skcb_oggvbrminbitrate, ini.read(oggMinBitrate), oggMinBitrate.defaultValue);
    selectValue(skcb_oggvbrmaxbitrate, ini.read(oggMaxBitrate), oggMaxBitrate.defaultValue);
    skcb_oggvbrenabled->setChecked(ini.readFlag(oggVbrEnabled));
    skcb_oggvbrenabledClick();
    skcb_oggqualityenabled->setChecked(ini.readFlag(oggQualityEnabled));
    skcb_oggqualityenabledClick();
    ud_oggquality->setValue(ini.read(oggQuality));
    limitLowRateBitrate();
}

void OggPage::save(IniFile &ini)
{
    ini.write(oggFrequency, currentValue(skcb_oggfrequency));
    ini.write(oggChannel, currentValue(skcb_oggchannel));
    ini.write(oggBitrate, currentValue(skcb_oggbitrate));
    const bool vbr = skcb_oggvbrenabled->isChecked();
    ini.write(oggVbrEnabled, vbr ? 1 : 0);
    if (vbr) {
        ini.write(oggMinBitrate, currentValue(skcb_oggvbrminbitrate));
        ini.write(oggMaxBitrate, currentValue(skcb_oggvbrmaxbitrate));
    }
    const bool quality = skcb_oggqualityenabled->isChecked();
    ini.write(oggQualityEnabled, quality ? 1 : 0);
    if (quality)
        ini.write(oggQuality, ud_oggquality->committedValue());
}

// The two check boxes keep their state: they switch features on, they hold no value.
void OggPage::setDefaults(const IniFile &)
{
    selectValue(skcb_oggfrequency, oggFrequency.defaultValue, oggFrequency.defaultValue);
    selectValue(skcb_oggchannel, oggChannel.defaultValue, oggChannel.defaultValue);
    selectValue(skcb_oggbitrate, oggBitrate.defaultValue, oggBitrate.defaultValue);
    selectValue(skcb_oggvbrminbitrate, oggMinBitrate.defaultValue, oggMinBitrate.defaultValue);
    selectValue(skcb_oggvbrmaxbitrate, oggMaxBitrate.defaultValue, oggMaxBitrate.defaultValue);
    ud_oggquality->setValue(oggQuality.defaultValue);
    rememberPositions();
}
