#include "gui/settings/mp3_page.h"

#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

using namespace settings;

Mp3Page::Mp3Page(QWidget *parent) : SettingPage(parent)
{
    skcb_mp3frequency = new TskComboBox(this);
    skcb_mp3channel = new TskComboBox(this);
    skcb_mp3bitrate = new TskComboBox(this);
    skcb_mp3vbrbitrate = new TskComboBox(this);
    fillChoices(skcb_mp3frequency, choices::mp3Frequencies);
    fillChoices(skcb_mp3channel, choices::channels);
    fillChoices(skcb_mp3bitrate, choices::mp3Bitrates);
    fillChoices(skcb_mp3vbrbitrate, choices::mp3Bitrates);
    ud_mp3vbrquality = new NumericField(0, 9, 1, {mp3VbrQuality.defaultValue}, this);

    TskGroupBox *vbr = group("VBR Options");
    fieldGrid(vbr, {{0, 0, "VBR Bitrate:", skcb_mp3vbrbitrate}, {1, 0, "VBR Quality:", ud_mp3vbrquality}}, 2);

    auto *page = new QGridLayout(this);
    page->addWidget(groupWith("Sampling Frequency", skcb_mp3frequency), 0, 0);
    page->addWidget(groupWith("Channels Mode", skcb_mp3channel), 0, 1);
    page->addWidget(groupWith("Bitrate", skcb_mp3bitrate), 1, 0, 1, 2);
    page->addWidget(vbr, 2, 0, 1, 2);
    page->setRowStretch(3, 1);
    compactLayouts();
}

void Mp3Page::show(int frequency, int channel, int bitrate, int vbrBitrate, int vbrQuality)
{
    selectValue(skcb_mp3frequency, frequency, mp3Frequency.defaultValue);
    selectValue(skcb_mp3channel, channel, mp3Channel.defaultValue);
    selectValue(skcb_mp3bitrate, bitrate, mp3Bitrate.defaultValue);
    selectValue(skcb_mp3vbrbitrate, vbrBitrate, mp3VbrBitrate.defaultValue);
    ud_mp3vbrquality->setValue(vbrQuality);
}

void Mp3Page::load(const IniFile &ini)
{
    show(ini.read(mp3Frequency), ini.read(mp3Channel), ini.read(mp3Bitrate),
         ini.read(mp3VbrBitrate), ini.read(mp3VbrQuality));
}

void Mp3Page::save(IniFile &ini)
{
    ini.write(mp3Frequency, currentValue(skcb_mp3frequency));
    ini.write(mp3Channel, currentValue(skcb_mp3channel));
    ini.write(mp3Bitrate, currentValue(skcb_mp3bitrate));
    ini.write(mp3VbrBitrate, currentValue(skcb_mp3vbrbitrate));
    ini.write(mp3VbrQuality, ud_mp3vbrquality->committedValue());
}

void Mp3Page::setDefaults(const IniFile &)
{
    show(mp3Frequency.defaultValue, mp3Channel.defaultValue, mp3Bitrate.defaultValue,
         mp3VbrBitrate.defaultValue, mp3VbrQuality.defaultValue);
}
