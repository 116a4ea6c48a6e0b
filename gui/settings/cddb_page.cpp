#include "gui/settings/cddb_page.h"

#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

CddbPage::CddbPage(QWidget *parent) : SettingPage(parent)
{
    TskGroupBox *box = group("Settings");
    skrb_anysource = new TskRadioButton(QStringLiteral("Get CDDB from any available source"), box);
    skrb_onlinesource =
        new TskRadioButton(QStringLiteral("Get CDDB info from On-Line Data Base"), box);
    skrb_cdsource = new TskRadioButton(QStringLiteral("Use only cdplayer.ini"), box);
    sourceGroup = new RadioGroup(this);
    sourceGroup->add(skrb_anysource, 0);
    sourceGroup->add(skrb_onlinesource, 1);
    sourceGroup->add(skrb_cdsource, 2);

    skedt_cddbserver = new TskEdit(box);
    skedt_cgiscript = new TskEdit(box);
    // Nothing typed here would be stored: say so by refusing the typing.
    skedt_cddbserver->setReadOnly(true);
    skedt_cgiscript->setReadOnly(true);
    ud_timeout = new NumericField(
        0, 30000, 6, {settings::cddbTimeout.defaultValue, "The code must be integer!", true}, box);
    ud_timeout->setObjectName(QStringLiteral("ud_timeout"));

    auto *fields = new QGridLayout;
    fields->addWidget(label("CDDB Server:"), 0, 0);
    fields->addWidget(skedt_cddbserver, 0, 1, 1, 2);
    fields->addWidget(label("CGI Script:"), 1, 0);
    fields->addWidget(skedt_cgiscript, 1, 1, 1, 2);
    addField(fields, 2, 0, "TimeOut:", ud_timeout);
    fields->setColumnStretch(2, 1);

    auto *inner = new QVBoxLayout(box);
    inner->addWidget(skrb_anysource);
    inner->addWidget(skrb_onlinesource);
    inner->addWidget(skrb_cdsource);
    inner->addSpacing(8);
    inner->addLayout(fields);
    inner->addStretch();

    auto *page = new QVBoxLayout(this);
    page->addWidget(box);
    compactLayouts();
}

void CddbPage::showServer(const IniFile &ini)
{
    skedt_cddbserver->setText(ini.read(settings::cddbServer));
    skedt_cgiscript->setText(ini.read(settings::cgiScript));
}

void CddbPage::load(const IniFile &ini)
{
    showServer(ini);
    sourceGroup->select(ini.read(settings::cdSource), settings::cdSource.defaultValue);
    ud_timeout->setValue(ini.read(settings::cddbTimeout));
}

void CddbPage::save(IniFile &ini)
{
    if (sourceGroup->selected() >= 0)
        ini.write(settings::cdSource, sourceGroup->selected());
    ini.write(settings::cddbTimeout, ud_timeout->committedValue());
}

// "Any available source" rather than the key's "none": a default the user can store.
void CddbPage::setDefaults(const IniFile &ini)
{
    skrb_anysource->setChecked(true);
    showServer(ini);
    ud_timeout->setValue(settings::cddbTimeout.defaultValue);
}
