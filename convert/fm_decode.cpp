#include "convert/fm_decode.h"

Tfm_decode::Tfm_decode(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Decode"));
}
