#pragma once

#include "gui/settings/setting_page.h"

class TskComboBox;

// "WMA": one list of the encoder's formats, stored by code.
class WmaPage : public SettingPage {
    Q_OBJECT
public:
    explicit WmaPage(QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    TskComboBox *skcb_wmasetting;
};
