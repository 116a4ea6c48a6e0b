#include "gui/settings/more_formats_page.h"

#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/ini_file.h"
#include "settings/setting_choices.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace settings;

namespace {

constexpr WordChoice kLosslessFormats[] = {{"WAV", "wav"}, {"FLAC", "flac"}};
constexpr WordChoice kOggCodecs[] = {{"Vorbis", "vorbis"}, {"Opus", "opus"}};
constexpr WordChoice kReplayGains[] = {{"None", "no"}, {"Track", "track"}, {"Track and album", "album"}};

} // namespace

MoreFormatsPage::MoreFormatsPage(QWidget *parent) : SettingPage(parent)
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(createFlacGroup());
    page->addWidget(createOpusGroup());
    page->addWidget(createReplayGainGroup());
    page->addStretch();
    compactLayouts();
}

QWidget *MoreFormatsPage::createFlacGroup()
{
    TskGroupBox *box = group("FLAC");
    ud_flaclevel = new NumericField(0, 8, 1,
                                    {flacLevel.defaultValue, "Compression level must be integer!",
                                     false, 0, nullptr, true},
                                    box);
    skcb_flacverify = new TskCheckBox(QStringLiteral("Verify while encoding"), box);
    skcb_losslessformat = new TskComboBox(box);
    fillWords(skcb_losslessformat, kLosslessFormats);
    auto *grid = new QGridLayout(box);
    addField(grid, 0, 0, "Compression level (0-8):", ud_flaclevel);
    grid->addWidget(skcb_flacverify, 0, 2);
    addField(grid, 1, 0, "The WAV button writes:", skcb_losslessformat);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget *MoreFormatsPage::createOpusGroup()
{
    TskGroupBox *box = group("Opus");
    ud_opusbitrate = new NumericField(6, 510, 3,
                                      {opusBitrate.defaultValue, "Bitrate must be integer!", false,
                                       0, nullptr, true},
                                      box);
    skcb_opusbitratemode = new TskComboBox(box);
    fillChoices(skcb_opusbitratemode, choices::opusBitrateModes);
    skcb_oggcodec = new TskComboBox(box);
    fillWords(skcb_oggcodec, kOggCodecs);
    fieldGrid(box,
              {{0, 0, "Bitrate (6-510 kbit/s):", ud_opusbitrate},
               {1, 0, "Bitrate mode:", skcb_opusbitratemode},
               {2, 0, "The OGG button writes:", skcb_oggcodec}},
              2);
    return box;
}

QWidget *MoreFormatsPage::createReplayGainGroup()
{
    TskGroupBox *box = group("ReplayGain");
    skcb_replaygain = new TskComboBox(box);
    fillWords(skcb_replaygain, kReplayGains);
    fieldGrid(box, {{0, 0, "Tags written:", skcb_replaygain}}, 2);
    return box;
}

void MoreFormatsPage::show(const Shown &values)
{
    ud_flaclevel->setValue(values.level);
    skcb_flacverify->setChecked(values.verify);
    selectWord(skcb_losslessformat, values.losslessFormat);
    ud_opusbitrate->setValue(values.bitrate);
    selectValue(skcb_opusbitratemode, values.mode, opusBitrateMode.defaultValue);
    selectWord(skcb_oggcodec, values.oggCodec);
    selectWord(skcb_replaygain, values.replayGain);
}

void MoreFormatsPage::load(const IniFile &ini)
{
    show({ini.read(flacLevel), ini.readFlag(flacVerify), ini.read(losslessFormat),
          ini.read(opusBitrate), ini.read(opusBitrateMode), ini.read(oggCodec), ini.read(replayGain)});
}

void MoreFormatsPage::save(IniFile &ini)
{
    ini.write(flacLevel, ud_flaclevel->committedValue());
    ini.write(flacVerify, skcb_flacverify->isChecked() ? 1 : 0);
    ini.write(losslessFormat, currentWord(skcb_losslessformat));
    ini.write(opusBitrate, ud_opusbitrate->committedValue());
    ini.write(opusBitrateMode, currentValue(skcb_opusbitratemode));
    ini.write(oggCodec, currentWord(skcb_oggcodec));
    ini.write(replayGain, currentWord(skcb_replaygain));
}

void MoreFormatsPage::setDefaults(const IniFile &)
{
    show({flacLevel.defaultValue, flacVerify.defaultValue != 0, losslessFormat.defaultValue(),
          opusBitrate.defaultValue, opusBitrateMode.defaultValue, oggCodec.defaultValue(),
          replayGain.defaultValue()});
}
