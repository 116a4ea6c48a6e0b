#include "app/fm_main.h"

// FreeDB lookup.

void Tfm_main::btn_freedbClick() {}
