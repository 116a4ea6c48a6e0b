#pragma once

// The windows, created once at start in this order and kept for the whole run.
#include "gui/main/fm_main.h"
#include "gui/main/fm_release.h"
#include "gui/settings/fm_outputdir.h"
#include "gui/settings/fm_setting.h"
#include "gui/convert/fm_decode.h"
#include "gui/convert/fm_encode.h"
#include "gui/rip/fm_progress.h"

extern Tfm_setting *fm_setting;
extern Tfm_decode *fm_decode;
extern Tfm_encode *fm_encode;
extern Tfm_outputdir *fm_outputdir;
extern Tfm_progress *fm_progress;
extern Tfm_release *fm_release;

// Creates fm_main (running its FormCreate) and then the other windows, hidden; deleting the
// returned owner destroys them in reverse order.
class Forms {
public:
    Forms();
    ~Forms();
    Forms(const Forms &) = delete;
    Forms &operator=(const Forms &) = delete;
};
