#include "gui/settings/setting_page.h"

#include "skin/sk_controls.h"

#include <QGridLayout>
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

// The caption names its field for screen readers (its buddy).
void SettingPage::addField(QGridLayout *grid, int row, int column, const char *caption, QWidget *field)
{
    QLabel *name = label(caption);
    name->setBuddy(field);
    grid->addWidget(name, row, column);
    grid->addWidget(field, row, column + 1);
}

QGridLayout *SettingPage::fieldGrid(QWidget *box, std::initializer_list<Field> fields, int stretch)
{
    auto *grid = new QGridLayout(box);
    for (const Field &f : fields)
        addField(grid, f.row, f.column, f.caption, f.widget);
    grid->setColumnStretch(stretch, 1);
    return grid;
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
