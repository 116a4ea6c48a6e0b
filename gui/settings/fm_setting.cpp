#include "gui/settings/fm_setting.h"

#include "gui/main/fm_main.h"
#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "gui/settings/cd_settings_page.h"
#include "gui/settings/cddb_page.h"
#include "settings/ini_file.h"
#include "gui/settings/more_formats_page.h"
#include "gui/settings/mp3_page.h"
#include "gui/settings/ogg_page.h"
#include "gui/settings/output_page.h"
#include "gui/settings/wma_page.h"
#include "gui/settings/setting_widgets.h"
#include "skin/sk_controls.h"
#include "gui/services/window_placement.h"

#include <QScreen>
#include <QShowEvent>

Tfm_setting::Tfm_setting(QWidget *parent)
    : SkinnedDialog(parent, QStringLiteral("fm_setting"), QStringLiteral("Settings"), {kWidth, kHeight})
{
    createPages(client);
    createButtons(client);
}

void Tfm_setting::createPages(QWidget *client)
{
    pgc_setting = new TskTabControl(client);
    pgc_setting->setGeometry(6, 6, kWidth - 12, kHeight - 46);
    pgc_setting->setLeftMargin(2);
    Panel1 = new CddbPage;
    Panel2 = new CdSettingsPage;
    Panel3 = new OutputPage([](int format) { fm_main->formatButtonClick(format); });
    Panel4 = new Mp3Page;
    Panel5 = new WmaPage;
    Panel6 = new OggPage;
    Panel7 = new MoreFormatsPage;
    const char *const captions[] = {"CDDB", "CD Settings", "Output", "MP3", "WMA", "OGG", "More"};
    int tab = 0;
    for (SettingPage *page : pagesInTabOrder())
        pgc_setting->addTab(page, QString::fromLatin1(captions[tab++]));
    connect(pgc_setting, &TskTabControl::currentChanged, this, &Tfm_setting::pgc_settingTabActive);
    connect(Panel3->skbtn_outputdir, &TskButton::clicked, this, &Tfm_setting::skbtn_outputdirClick);
}

void Tfm_setting::createButtons(QWidget *client)
{
    const std::array<std::pair<const char *, void (Tfm_setting::*)()>, 4> buttons{{
        {"&OK", &Tfm_setting::skbtn_okClick},
        {"&Cancel", &Tfm_setting::skbtn_cancelClick},
        {"&Default", &Tfm_setting::skbtn_defaultClick},
        {"&Help", &Tfm_setting::skbtn_helpClick},
    }};
    std::array<TskButton *, 4> made{};
    const int width = 75, gap = 10, top = kHeight - 33;
    int left = kWidth - 6 - 4 * width - 3 * gap;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        made[i] = new TskButton(QString::fromLatin1(buttons[i].first), client);
        made[i]->setGeometry(left, top, width, 25);
        // Enter in a field must not close the dialog.
        made[i]->setAutoDefault(false);
        connect(made[i], &TskButton::clicked, this, buttons[i].second);
        left += width + gap;
    }
    skbtn_ok = made[0];
    skbtn_cancel = made[1];
    skbtn_default = made[2];
    skbtn_help = made[3];
}

// The FLAC and Opus sections, new ones, come after the sections of the others.
std::array<SettingPage *, 7> Tfm_setting::pagesInFileOrder() const
{
    return {Panel2, Panel4, Panel5, Panel6, Panel1, Panel3, Panel7};
}

std::array<SettingPage *, 7> Tfm_setting::pagesInTabOrder() const
{
    return {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6, Panel7};
}

void Tfm_setting::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        FormShow();
        centreOnScreen(this);
    }
    QDialog::showEvent(event);
}

void Tfm_setting::FormShow()
{
    const IniFile ini;
    Panel2->listDrives(fm_main->AudioGrabber);
    for (SettingPage *page : pagesInFileOrder())
        page->load(ini);
}

void Tfm_setting::skbtn_okClick()
{
    IniFile ini;
    for (SettingPage *page : pagesInFileOrder())
        page->save(ini);
    accept();
}

void Tfm_setting::skbtn_cancelClick()
{
    reject();
}

void Tfm_setting::skbtn_defaultClick()
{
    const IniFile ini;
    for (SettingPage *page : pagesInFileOrder())
        page->setDefaults(ini);
}

void Tfm_setting::skbtn_helpClick()
{
    services::desktop().openHelp(QStringLiteral("settings.html"));
}

void Tfm_setting::skbtn_outputdirClick()
{
    fm_outputdir->exec();
    if (!fm_outputdir->selectedDirectory().isEmpty())
        Panel3->skedt_outputdir->setText(fm_outputdir->selectedDirectory());
}

// The tab control's stack shows one page at a time; an index outside the tabs shows none.
void Tfm_setting::pgc_settingTabActive(int index)
{
    const auto pages = pagesInTabOrder();
    for (int i = 0; i < int(pages.size()); ++i)
        pages[i]->setVisible(i == index);
}
