#pragma once

#include <QWidget>
#include <initializer_list>

class IniFile;
class TskGroupBox;
class QGridLayout;
class QLabel;

// One page of the settings dialog. The dialog loads and saves its pages in the order of the
// settings file's sections; a page touches only its own controls and keys. Filling controls
// from the program never runs the checks that guard the user's edits.
class SettingPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void load(const IniFile &ini) = 0;
    // A refused write throws IniWriteError and leaves the later keys unwritten.
    virtual void save(IniFile &ini) = 0;
    // The defaults of the keys the page shows; ini is read, never written.
    virtual void setDefaults(const IniFile &ini) = 0;

protected:
    TskGroupBox *group(const char *caption);
    QLabel *label(const char *caption);
    // A caption at (row, column) of the grid and its field right of it.
    void addField(QGridLayout *grid, int row, int column, const char *caption, QWidget *field);
    struct Field {
        int row, column;
        const char *caption;
        QWidget *widget;
    };
    // A grid of captioned fields over `box`, whose column `stretch` takes the spare width.
    QGridLayout *fieldGrid(QWidget *box, std::initializer_list<Field> fields, int stretch);
    // A group holding one control.
    TskGroupBox *groupWith(const char *caption, QWidget *control);
    // Tight margins and spacing for every layout of the page: six pages of controls share a
    // small fixed dialog. Called at the end of each page's constructor.
    void compactLayouts();
};
