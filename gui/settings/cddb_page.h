#pragma once

#include "gui/settings/setting_page.h"

class NumericField;
class TskRadioButton;
class RadioGroup;
class TskEdit;

// "CDDB": where disc names come from, the server shown for reference and the time-out.
class CddbPage : public SettingPage {
    Q_OBJECT
public:
    explicit CddbPage(QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    TskRadioButton *skrb_anysource, *skrb_onlinesource, *skrb_cdsource;
    RadioGroup *sourceGroup;
    // Shown only: start-up writes them from the grabber, the dialog never does.
    TskEdit *skedt_cddbserver, *skedt_cgiscript;
    NumericField *ud_timeout;

private:
    void showServer(const IniFile &ini);
};
