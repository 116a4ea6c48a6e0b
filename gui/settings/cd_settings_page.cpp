#include "gui/settings/cd_settings_page.h"

#include "disc/audio_grabber.h"
#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace settings;

namespace {

// One radio per choice, named as the log names the setting, in `group` under its value.
template <size_t N>
std::array<TskRadioButton *, N> radios(const std::array<Choice, N> &list, QWidget *box,
                                       RadioGroup *group, QBoxLayout *layout)
{
    std::array<TskRadioButton *, N> buttons{};
    for (size_t i = 0; i < N; ++i) {
        buttons[i] = new TskRadioButton(QString::fromLatin1(list[i].text), box);
        group->add(buttons[i], list[i].value);
        layout->addWidget(buttons[i]);
    }
    return buttons;
}

} // namespace

CdSettingsPage::CdSettingsPage(QWidget *parent) : SettingPage(parent)
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(createDriveGroup());
    page->addWidget(createGrabGroup());
    page->addWidget(createErrorActionGroup());
    page->addStretch();
    compactLayouts();
}

TskGroupBox *CdSettingsPage::createDriveGroup()
{
    TskGroupBox *box = group("CD-ROM options");
    skcb_cdromunit = new TskComboBox(box);
    skcb_cdromtype = new TskComboBox(box);
    fillCaptions(skcb_cdromtype, choices::cdTypes);
    fieldGrid(box, {{0, 0, "CD-ROM unit:", skcb_cdromunit}, {1, 0, "CD-ROM Type:", skcb_cdromtype}}, 1);
    return box;
}

TskGroupBox *CdSettingsPage::createGrabGroup()
{
    TskGroupBox *box = group("Grab options");
    grabModeGroup = new RadioGroup(this);
    auto *inner = new QVBoxLayout(box);
    const auto modes = radios(choices::grabModes, box, grabModeGroup, inner);
    skrb_burstmode = modes[0];
    skrb_synchmode = modes[1];
    skrb_securemode = modes[2];
    skrb_paranoidmode = modes[3];

    ud_retry = new NumericField(0, 100, 2, {errorRetry.defaultValue}, box);
    ud_speed = new NumericField(0, 100, 2,
                                {driveSpeed.defaultValue, "The code must be integer!", false, 32,
                                 "The code must not be bigger than 32!"},
                                box);
    auto *fields = new QGridLayout;
    addField(fields, 0, 0, "Retries on Read or Synch Error:", ud_retry);
    addField(fields, 1, 0, "Extraction Speed Low or Equal:", ud_speed);
    fields->addWidget(label("x176kb/s"), 1, 2);
    // Shown with grouping ("1,200"), so typing takes the comma too.
    NumericField::Check offsetCheck{readOffset.defaultValue, "The code must be integer!", true};
    offsetCheck.clampsToRange = true;
    ud_offset = new NumericField(-kMaxReadOffset, kMaxReadOffset, 5, offsetCheck, box);
    addField(fields, 2, 0, "Read offset correction:", ud_offset);
    fields->addWidget(label("samples"), 2, 2);
    fields->setColumnStretch(3, 1);
    inner->addLayout(fields);
    return box;
}

TskGroupBox *CdSettingsPage::createErrorActionGroup()
{
    skrg_erroraction = group("Action On UnRecovery Read or Synch Error");
    errorActionGroup = new RadioGroup(this);
    const auto actions = radios(choices::errorActions, skrg_erroraction, errorActionGroup,
                                new QHBoxLayout(skrg_erroraction));
    skrb_stop = actions[0];
    skrb_silence = actions[1];
    skrb_cut = actions[2];
    skrb_correct = actions[3];
    return skrg_erroraction;
}

void CdSettingsPage::listDrives(AudioGrabber &grabber)
{
    const int current = grabber.driveNum();
    skcb_cdromunit->clear();
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        skcb_cdromunit->addItem(
            QStringLiteral("%1 - %2").arg(grabber.driveLetter(), grabber.driveName()));
    }
    // Listing must not move the drive that the track list and playback read.
    if (current != grabber.driveNum())
        grabber.setDriveNum(current);
}

void CdSettingsPage::show(int unit, int type, int mode, int retries, int action, int speed)
{
    selectPosition(skcb_cdromunit, unit, cdUnit.defaultValue);
    selectPosition(skcb_cdromtype, type, cdType.defaultValue);
    grabModeGroup->select(mode, grabMode.defaultValue);
    ud_retry->setValue(retries);
    errorActionGroup->select(action, errorAction.defaultValue);
    ud_speed->setValue(speed);
}

void CdSettingsPage::load(const IniFile &ini)
{
    show(ini.read(cdUnit), ini.read(cdType), ini.read(grabMode), ini.read(errorRetry),
         ini.read(errorAction), ini.read(driveSpeed));
    ud_offset->setValue(ini.read(readOffset));
}

void CdSettingsPage::save(IniFile &ini)
{
    ini.write(cdUnit, skcb_cdromunit->currentIndex());
    ini.write(cdType, skcb_cdromtype->currentIndex());
    if (grabModeGroup->selected() >= 0)
        ini.write(grabMode, grabModeGroup->selected());
    ini.write(errorRetry, ud_retry->committedValue());
    if (errorActionGroup->selected() >= 0)
        ini.write(errorAction, errorActionGroup->selected());
    ini.write(driveSpeed, ud_speed->committedValue());
    ini.write(readOffset, ud_offset->committedValue());
}

void CdSettingsPage::setDefaults(const IniFile &)
{
    show(cdUnit.defaultValue, cdType.defaultValue, grabMode.defaultValue, errorRetry.defaultValue,
         errorAction.defaultValue, driveSpeed.defaultValue);
    ud_offset->setValue(readOffset.defaultValue);
}
