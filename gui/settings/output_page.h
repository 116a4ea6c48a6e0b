#pragma once

#include "gui/settings/setting_page.h"

#include <array>
#include <functional>

class NumericField;
class TskCheckBox;
class TskButton;
class TskComboBox;
class TskEdit;

// "Output": output format, normalization, naming rule, output directory and the characters
// that stand in for those a file name cannot hold.
class OutputPage : public SettingPage {
    Q_OBJECT
public:
    // formatCommand runs the main window's output-format button for a position of the list.
    explicit OutputPage(std::function<void(int)> formatCommand, QWidget *parent = nullptr);

    void load(const IniFile &ini) override;
    void save(IniFile &ini) override;
    void setDefaults(const IniFile &ini) override;

    void skcb_normalizeClick();

    TskComboBox *skcd_outpputformat;
    TskCheckBox *skcb_normalize;
    NumericField *ud_normalize;
    TskComboBox *skcb_filenameformat;
    TskEdit *skedt_outputdir; // disabled: only the picker changes it
    TskButton *skbtn_outputdir;
    std::array<TskEdit *, 9> skedt_replace{};

private:
    QWidget *createFormatGroup();
    QWidget *createNamingGroup();
    QWidget *createDirectoryGroup();
    QWidget *createReplacingGroup();
    void setNormalize(bool on);
    void checkReplacement(int field, const QString &text);
    std::function<void(int)> m_formatCommand;
};
