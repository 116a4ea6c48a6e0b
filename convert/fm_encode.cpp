#include "convert/fm_encode.h"

Tfm_encode::Tfm_encode(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Encode"));
}
