#pragma once

#include "gui/settings/setting_page.h"

#include <QList>
#include <QString>

class AudioGrabber;
class NumericField;
class TskGroupBox;
class TskRadioButton;
class RadioGroup;
class TskComboBox;
class TskButton;
class TskCheckBox;
class QLabel;

// "CD Settings": the drive and how it is read.
class CdSettingsPage : public SettingPage {
    Q_OBJECT
public:
    explicit CdSettingsPage(QWidget *parent = nullptr);

    // One entry per drive of the grabber, "path - name"; the grabber's drive stays as it was.
    void listDrives(AudioGrabber &grabber);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    TskComboBox *skcb_cdromunit, *skcb_cdromtype;
    TskRadioButton *skrb_burstmode, *skrb_synchmode, *skrb_securemode, *skrb_paranoidmode;
    RadioGroup *grabModeGroup;
    NumericField *ud_retry, *ud_speed, *ud_offset;
    TskCheckBox *skcb_testandcopy; // "test and copy": each track read twice
    TskGroupBox *skrg_erroraction;
    TskRadioButton *skrb_stop, *skrb_silence, *skrb_cut, *skrb_correct;
    RadioGroup *errorActionGroup;
    // "Offset from the drive database: +30 (PLEXTOR DVDR PX-716A)" and the button that takes
    // it, shown while the chosen drive's own read offset was never set and the list knows it.
    QLabel *lbl_driveoffset;
    TskButton *skbtn_takeoffset;

private:
    struct DriveName {
        QString vendor, model;
    };
    DriveName chosenDrive() const;
    void showProposal();
    void refreshDriveOffsets();

    TskGroupBox *createDriveGroup();
    TskGroupBox *createGrabGroup();
    TskGroupBox *createErrorActionGroup();
    void show(int unit, int type, int mode, int retries, int action, int speed);

    QList<DriveName> m_drives; // as listed
    int m_proposal = 0;
    int m_loadedOffset = 0;
    bool m_ownOffset = false; // the chosen drive had its own read offset when loaded
};
