#include "config/setting_page.h"

#include "skin/sk_controls.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
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

void SettingPage::compactLayouts()
{
    for (QLayout *layout : findChildren<QLayout *>()) {
        layout->setSpacing(3);
        if (layout == this->layout())
            layout->setContentsMargins(6, 6, 6, 6);
        else if (qobject_cast<QGroupBox *>(layout->parentWidget()) &&
                 layout->parent() == layout->parentWidget())
            layout->setContentsMargins(8, 2, 8, 5);
    }
}
