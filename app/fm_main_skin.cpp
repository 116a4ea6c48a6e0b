#include "app/fm_main.h"

// Skin commands.

void Tfm_main::chooseSkinAtStart() {}

void Tfm_main::OthersClick() {}

void Tfm_main::markOutputFormat() {}

void Tfm_main::markPlayback() {}
bool Tfm_main::loadSkin() { return false; }
void Tfm_main::skinMenuClick(int) {}
