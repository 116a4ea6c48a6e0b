#pragma once

#include <QWidget>

class IniFile;
class TskGroupBox;
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
    // A group holding one control.
    TskGroupBox *groupWith(const char *caption, QWidget *control);
    // Tight margins and spacing for every layout of the page: six pages of controls share a
    // small fixed dialog. Called at the end of each page's constructor.
    void compactLayouts();
};
