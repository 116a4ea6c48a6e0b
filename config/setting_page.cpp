#include "config/setting_page.h"

#include "skin/sk_controls.h"

#include <QHBoxLayout>
#include <QLabel>

TskGroupBox *SettingPage::group(const char *caption)
{
    return new TskGroupBox(QString::fromLatin1(caption), this);
}

QLabel *SettingPage::label(const char *caption)
{
    return new QLabel(QString::fromLatin1(caption), this);
}

TskGroupBox *SettingPage::groupWith(const char *caption, QWidget *control)
{
    TskGroupBox *box = group(caption);
    auto *row = new QHBoxLayout(box);
    row->addWidget(control);
    return box;
}
