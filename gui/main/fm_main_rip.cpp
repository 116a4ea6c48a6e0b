#include "gui/main/fm_main.h"

#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "rip/output_naming.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "disc/cd_settings.h"

#include <optional>

// Rip command and output-format buttons.

namespace {

// A WMA rip starts from this profile; the rip window then selects the stored one.
constexpr int kRipStartWmaProfile = 28;

bool anyRowTicked(const QTreeWidget *list)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->checkState(0) == Qt::Checked)
            return true;
    }
    return false;
}

} // namespace

void Tfm_main::btn_mp3Click()
{
    formatButtonClick(0);
}

void Tfm_main::btn_wavClick()
{
    formatButtonClick(1);
}

void Tfm_main::btn_wmaClick()
{
    formatButtonClick(2);
}

void Tfm_main::btn_oggClick()
{
    formatButtonClick(3);
}

void Tfm_main::formatButtonClick(int format)
{
    playClick();
    IniFile().write(settings::outputType, format);
    output_format = format;
    markOutputFormat();
}

void Tfm_main::showFormatsInUse()
{
    const IniFile ini;
    btn_ripcd->setToolTip(QStringLiteral("Rip CD to ") + formatName(ripExtension(output_format, ini)));
    btn_wav->setToolTip(formatName(ripExtension(1, ini)));
    btn_ogg->setToolTip(formatName(ripExtension(3, ini)));
}

void Tfm_main::btn_ripcdClick()
{
    playClick();
    waitForJobs();
    commitOpenEdit();
    if (!confirmStopPlayback())
        return;
    applyCdSettings(AudioGrabber, IniFile());
    if (!anyRowTicked(sklv_main)) {
        services::prompter().plain(QStringLiteral("Harvelo"),
                                   QStringLiteral("You have not select one track!"),
                                   Prompter::Buttons::Ok, this);
        return;
    }
    if (output_format == 2) {
        AudioFile.setWmaFormatEnabled(true);
        AudioFile.SetWmaFormat(kRipStartWmaProfile);
    }
    fm_progress->exec();
}
