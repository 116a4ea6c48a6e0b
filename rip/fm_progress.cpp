#include "rip/fm_progress.h"

Tfm_progress::Tfm_progress(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Progress"));
}
