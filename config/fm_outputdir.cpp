#include "config/fm_outputdir.h"

Tfm_outputdir::Tfm_outputdir(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Selcet directory"));
}
