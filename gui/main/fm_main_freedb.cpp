#include "gui/main/fm_main.h"

#include "gui/main/busy_wait.h"
#include "gui/services/prompter.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

void Tfm_main::btn_freedbClick()
{
    playClick();
    waitForJobs();
    commitOpenEdit();
    if (!confirmStopPlayback())
        return;
    IniFile ini;
    AudioGrabber.setCddbTimeOut(ini.read(settings::cddbTimeout));
    AudioGrabber.setCddbServerAddress(ini.read(settings::cddbServer));
    AudioGrabber.setCddbCGIScript(ini.read(settings::cgiScript));
    ini.close();
    // The server may take up to the time-out to answer; the window keeps painting meanwhile.
    // Nothing else uses the grabber while the lookup runs: playback is stopped and input waits.
    const bool found = waitBusyFor([this] { return AudioGrabber.QueryDiscInfo(1); });
    if (!found) {
        services::prompter().information(QStringLiteral("Could not find freedb info!"), this);
        return;
    }
    freedb_refresh = true;
    btn_refreshClick();
}
