#include "config/fm_setting.h"

Tfm_setting::Tfm_setting(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Settings"));
}
