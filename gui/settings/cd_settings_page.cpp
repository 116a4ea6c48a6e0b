#include "gui/settings/cd_settings_page.h"

#include "disc/audio_grabber.h"
#include "disc/cd_settings.h"
#include "lookup/drive_offsets.h"
#include "lookup/offset_finder.h"
#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>
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
    connect(skcb_cdromunit, &TskComboBox::currentIndexChanged, this, &CdSettingsPage::showProposal);
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
    // Beside the retries, where the page has room to spare.
    skcb_testandcopy = new TskCheckBox(QStringLiteral("Test and copy"), box);
    fields->addWidget(skcb_testandcopy, 0, 2, 1, 2);
    fields->setColumnStretch(3, 1);
    inner->addLayout(fields);
    // Its own row, below the fields, so that their captions keep their width.
    lbl_driveoffset = new QLabel(box);
    lbl_driveoffset->setWordWrap(true);
    skbtn_takeoffset = new TskButton(QStringLiteral("Use this offset"), box);
    auto *proposal = new QHBoxLayout;
    proposal->addWidget(lbl_driveoffset, 1);
    proposal->addWidget(skbtn_takeoffset);
    inner->addLayout(proposal);
    connect(skbtn_takeoffset, &TskButton::clicked, this, [this] { ud_offset->setValue(m_proposal); });
    lbl_driveoffset->hide();
    skbtn_takeoffset->hide();
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
    m_drives.clear();
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        skcb_cdromunit->addItem(
            QStringLiteral("%1 - %2").arg(grabber.driveLetter(), grabber.driveName()));
        m_drives.append({grabber.driveVendor(), grabber.driveModel()});
    }
    // Listing must not move the drive that the track list and playback read.
    if (current != grabber.driveNum())
        grabber.setDriveNum(current);
    refreshDriveOffsets();
}

CdSettingsPage::DriveName CdSettingsPage::chosenDrive() const
{
    return m_drives.value(skcb_cdromunit->currentIndex());
}

void CdSettingsPage::showProposal()
{
    const DriveName drive = chosenDrive();
    const std::optional<int> proposal = drive.vendor.isEmpty() ? std::nullopt
        : proposedReadOffset(DriveOffsetList::cached(), IniFile(), drive.vendor, drive.model);
    m_proposal = proposal.value_or(0);
    lbl_driveoffset->setText(proposal ? proposedReadOffsetText(*proposal, drive.vendor, drive.model) : QString());
    lbl_driveoffset->setVisible(proposal.has_value());
    skbtn_takeoffset->setVisible(proposal.has_value());
}

// A missing or old list is fetched once a run, off the window thread; the page then shows
// what it found.
void CdSettingsPage::refreshDriveOffsets()
{
    static bool fetched = false;
    const bool named = std::any_of(m_drives.cbegin(), m_drives.cend(), [](const DriveName &d) { return !d.vendor.isEmpty(); });
    if (fetched || !named || !DriveOffsetList::cacheIsStale())
        return;
    fetched = true;
    const IniFile ini;
    QThread *thread = QThread::create([server = ini.read(accurateRipServer), timeout = ini.read(cddbTimeout)] {
        DriveOffsetList::load(server, timeout);
    });
    connect(thread, &QThread::finished, this, &CdSettingsPage::showProposal);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
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
    const DriveName drive = chosenDrive();
    m_ownOffset = ownReadOffset(ini, drive.vendor, drive.model).has_value();
    m_loadedOffset = readOffsetOf(ini, drive.vendor, drive.model);
    ud_offset->setValue(m_loadedOffset);
    skcb_testandcopy->setChecked(ini.read(testAndCopy) == QLatin1String("yes"));
    showProposal();
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
    ini.write(testAndCopy, skcb_testandcopy->isChecked() ? QStringLiteral("yes") : QStringLiteral("no"));
    // The drive's own offset once it has one or the value changed; else the database may
    // still propose one.
    const DriveName drive = chosenDrive();
    if (m_ownOffset || ud_offset->committedValue() != m_loadedOffset)
        writeOwnReadOffset(ini, drive.vendor, drive.model, ud_offset->committedValue());
}

void CdSettingsPage::setDefaults(const IniFile &)
{
    show(cdUnit.defaultValue, cdType.defaultValue, grabMode.defaultValue, errorRetry.defaultValue,
         errorAction.defaultValue, driveSpeed.defaultValue);
    ud_offset->setValue(readOffset.defaultValue);
    skcb_testandcopy->setChecked(testAndCopy.defaultValue() == QLatin1String("yes"));
}
