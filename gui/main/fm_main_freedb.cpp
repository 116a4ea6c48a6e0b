#include "gui/main/fm_main.h"

#include "gui/main/busy_wait.h"
#include "gui/main/forms.h"
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
    chooseRelease();
    freedb_refresh = true;
    btn_refreshClick();
}

// Several MusicBrainz releases hold the disc: the user may name another than the automatic
// choice, whose cover then comes while the window keeps painting.
void Tfm_main::chooseRelease()
{
    if (AudioGrabber.releaseCandidates().size() < 2)
        return;
    const QString id = fm_release->choose(AudioGrabber.releaseCandidates(), AudioGrabber.chosenRelease());
    if (!id.isEmpty())
        waitBusyFor([this, &id] { return AudioGrabber.chooseRelease(id); });
}
