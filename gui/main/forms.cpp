#include "gui/main/forms.h"

Tfm_setting *fm_setting = nullptr;
Tfm_decode *fm_decode = nullptr;
Tfm_encode *fm_encode = nullptr;
Tfm_outputdir *fm_outputdir = nullptr;
Tfm_progress *fm_progress = nullptr;
Tfm_release *fm_release = nullptr;

Forms::Forms()
{
    new Tfm_main;
    fm_main->FormCreate();
    fm_setting = new Tfm_setting(fm_main);
    fm_decode = new Tfm_decode(fm_main);
    fm_encode = new Tfm_encode(fm_main);
    fm_outputdir = new Tfm_outputdir(fm_main);
    fm_progress = new Tfm_progress(fm_main);
    fm_release = new Tfm_release(fm_main);
}

Forms::~Forms()
{
    delete fm_release;
    delete fm_progress;
    delete fm_outputdir;
    delete fm_encode;
    delete fm_decode;
    delete fm_setting;
    delete fm_main;
    fm_release = nullptr;
    fm_progress = nullptr;
    fm_outputdir = nullptr;
    fm_encode = nullptr;
    fm_decode = nullptr;
    fm_setting = nullptr;
}
