#include "app/fm_main.h"

// Skin commands.

void Tfm_main::chooseSkinAtStart() {}

void Tfm_main::OthersClick() {}

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
    }
}

void Tfm_main::markPlayback() {}
bool Tfm_main::loadSkin() { return false; }
void Tfm_main::skinMenuClick(int) {}
