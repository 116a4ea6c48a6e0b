#pragma once

#include "gui/settings/setting_widgets.h"

#include <QDialog>
#include <array>

class CddbPage;
class CdSettingsPage;
class Mp3Page;
class OggPage;
class MoreFormatsPage;
class OutputPage;
class SettingPage;
class TskButton;
class TskTabControl;
class WmaPage;

// The settings dialog: six pages of settings, loaded from harvelo.ini at every show and written
// back by "&OK". Created once at start and kept, hidden, for the whole run; shown modally by
// the main window. UI thread only.
class Tfm_setting : public SkinnedDialog {
    Q_OBJECT
public:
    explicit Tfm_setting(QWidget *parent = nullptr);

    static constexpr int kWidth = 388;
    static constexpr int kHeight = 388;

    TskTabControl *pgc_setting;
    CddbPage *Panel1;
    CdSettingsPage *Panel2;
    OutputPage *Panel3;
    Mp3Page *Panel4;
    WmaPage *Panel5;
    OggPage *Panel6;
    MoreFormatsPage *Panel7;
    TskButton *skbtn_ok, *skbtn_cancel, *skbtn_default, *skbtn_help;

    // Load: the drive list from the grabber, then every control from the settings file.
    void FormShow();
    // Save every control, run the main window's format command, close.
    void skbtn_okClick();
    void skbtn_cancelClick();
    // The default of every setting into the controls; the MP3 format command runs at once.
    void skbtn_defaultClick();
    void skbtn_helpClick();
    // The picker's choice, if it made one, into the output-directory field; nothing is stored.
    void skbtn_outputdirClick();
    void pgc_settingTabActive(int index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createPages(QWidget *client);
    void createButtons(QWidget *client);
    // The pages in the order of the settings file's sections, the order of Load and Save.
    std::array<SettingPage *, 7> pagesInFileOrder() const;
    std::array<SettingPage *, 7> pagesInTabOrder() const;
};
