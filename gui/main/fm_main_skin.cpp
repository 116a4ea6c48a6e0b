#include "gui/main/fm_main.h"

#include "gui/services/prompter.h"
#include "builtin_skin.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/base/skin_file.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

// Skin commands.

namespace {

// The executable directory, ending in a separator.
QString executableDir()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

// "Pewter" .. "SkyBlue": skins/skin1.skn .. skin5.skn beside the executable.
QString shippedSkin(int number)
{
    return executableDir() + QStringLiteral("skins/skin%1.skn").arg(number);
}

// A screen scaled above 100 %, where a skin's large pictures are shown.
bool scaledScreen()
{
    return qApp->devicePixelRatio() > 1.0;
}

// Fills the picture slots and gives the image buttons their plain pictures: on a screen
// scaled above 100 % the skin's large pictures when it carries them (drawn for 200 %, scaled
// down smoothly for less), else the standard ones, scaled up.
void applySkin(Tfm_main &w, const SkinFile::Result &skin)
{
    const bool large = skin.doubleImages && scaledScreen();
    const SkinFile::Images &images = large ? *skin.doubleImages : skin.images;
    for (size_t i = 0; i < w.skin_pic.size(); ++i) {
        w.skin_pic[i] = QPixmap::fromImage(images[i]);
        w.skin_pic[i].setDevicePixelRatio(large ? 2.0 : 1.0);
    }
    const auto &pic = w.skin_pic;
    // The title-bar buttons have no pressed picture.
    w.btn_min->setPictures(pic[1], pic[2], QPixmap());
    w.btn_help->setPictures(pic[3], pic[4], QPixmap());
    w.btn_close->setPictures(pic[5], pic[6], QPixmap());
    TskImageButton *const threeState[] = {w.btn_play, w.btn_pause, w.btn_stop, w.btn_freedb,
                                          w.btn_refresh};
    for (size_t b = 0; b < std::size(threeState); ++b)
        threeState[b]->setPictures(pic[7 + 3 * b], pic[8 + 3 * b], pic[9 + 3 * b]);
    TskImageButton *const formats[] = {w.btn_mp3, w.btn_wav, w.btn_wma, w.btn_ogg};
    for (size_t f = 0; f < std::size(formats); ++f)
        formats[f]->setPictures(pic[22 + 5 * f], pic[24 + 5 * f], pic[26 + 5 * f]);
    w.btn_ripcd->setPictures(pic[42], pic[43], pic[44]);
    w.styleTrackList();
    w.update();
}

} // namespace

void Tfm_main::chooseSkinAtStart()
{
    skin_dir = executableDir();
    IniFile ini;
    const int skin = ini.read(settings::skin);
    skin_file.clear();
    // A stored name that is not UTF-8 would name another file: the built-in skin instead.
    if (skin == 0 && IniFile::isFaithfulPath(ini.read(settings::skinName)))
        skin_file = ini.read(settings::skinName);
    else if (skin >= 1 && skin <= 5)
        skin_file = shippedSkin(skin);
    ini.close();
    if (!skin_file.isEmpty() && QFileInfo(skin_file).isFile() && loadSkin())
        return;
    // The skin appended to the executable, read in place: nothing is written anywhere.
    const SkinFile::Result builtin =
        SkinFile::readTail(QCoreApplication::applicationFilePath(), builtin_skin_size, scaledScreen());
    // An executable without its skin (stripped) keeps the plain face rather than asking the
    // user about a file they never chose.
    if (builtin.ok())
        applySkin(*this, builtin);
}

bool Tfm_main::loadSkin()
{
    const SkinFile::Result skin = SkinFile::readFile(skin_file, scaledScreen());
    if (!skin.ok()) {
        // Missing, short, oversized or undecodable skins are all refused the same way: the
        // window keeps its pictures.
        services::prompter().error(skin_file + QStringLiteral(" is not a valid skin file!"), this);
        return false;
    }
    applySkin(*this, skin);
    return true;
}

void Tfm_main::skinMenuClick(int skin)
{
    IniFile ini;
    ini.write(settings::skin, skin);
    ini.close();
    skin_dir = executableDir();
    skin_file = shippedSkin(skin);
    loadSkin();
    markOutputFormat();
    markPlayback();
}

void Tfm_main::OthersClick()
{
    Prompter::FileDialog opd_skin;
    opd_skin.title = QStringLiteral("Choose a skin file");
    opd_skin.setFilter(QStringLiteral("skin file(*.skn)|*.skn"));
    // Where the shipped skins are, until the user has chosen one elsewhere.
    opd_skin.directory = skin_dir == executableDir() ? executableDir() + QStringLiteral("skins")
                                                     : skin_dir;
    const QStringList chosen = services::prompter().openFiles(opd_skin, this);
    if (chosen.isEmpty())
        return;
    skin_file = chosen.first();
    IniFile ini;
    ini.write(settings::skin, 0);
    ini.write(settings::skinName, skin_file);
    ini.close();
    skin_dir = QFileInfo(skin_file).absolutePath() + QLatin1Char('/');
    loadSkin();
    markOutputFormat();
    markPlayback();
}

// Slots 22 + 5 * format hold a format button's pictures: plain normal, selected normal, plain
// hover, selected hover, pressed. The button of output_format shows its selected pair, the
// others their plain pair; pressed pictures stay as loaded.
void Tfm_main::markOutputFormat()
{
    TskImageButton *const buttons[] = {btn_mp3, btn_wav, btn_wma, btn_ogg};
    for (int format = 0; format < 4; ++format) {
        const int plain = 22 + 5 * format;
        const int selected = format == output_format ? 1 : 0;
        buttons[format]->setPicNormal(skin_pic[size_t(plain + selected)]);
        buttons[format]->setPicMouseOn(skin_pic[size_t(plain + 2 + selected)]);
        buttons[format]->setChecked(selected);
    }
    showFormatsInUse();
}

// The pressed pictures of play and pause double as the playing and paused states.
void Tfm_main::markPlayback()
{
    if (!playing)
        return;
    if (paused)
        btn_pause->setPicNormal(skin_pic[12]);
    else
        btn_play->setPicNormal(skin_pic[9]);
}
