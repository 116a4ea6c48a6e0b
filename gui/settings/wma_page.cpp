#include "gui/settings/wma_page.h"

#include "settings/ini_file.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "settings/wma_formats.h"
#include "skin/sk_controls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

WmaPage::WmaPage(QWidget *parent) : SettingPage(parent)
{
    TskGroupBox *box = group("WMA Setting");
    skcb_wmasetting = new TskComboBox(box);
    fillChoices(skcb_wmasetting, wmaFormats);
    auto *row = new QHBoxLayout(box);
    row->addWidget(skcb_wmasetting);
    auto *page = new QVBoxLayout(this);
    page->addWidget(box);
    page->addStretch();
    compactLayouts();
}

void WmaPage::load(const IniFile &ini)
{
    selectValue(skcb_wmasetting, ini.read(settings::wmaFormat), settings::wmaFormat.defaultValue);
}

void WmaPage::save(IniFile &ini)
{
    ini.write(settings::wmaFormat, currentValue(skcb_wmasetting));
}

void WmaPage::setDefaults(const IniFile &)
{
    selectValue(skcb_wmasetting, settings::wmaFormat.defaultValue,
                settings::wmaFormat.defaultValue);
}
