#pragma once

#include "gui/main/forms.h"
#include "gui/settings/cd_settings_page.h"
#include "gui/settings/cddb_page.h"
#include "settings/ini_file.h"
#include "gui/settings/mp3_page.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/ogg_page.h"
#include "gui/settings/output_page.h"
#include "settings/settings_keys.h"
#include "gui/settings/wma_page.h"
#include "skin/sk_controls.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QLineEdit>
#include <QtTest>
#include <memory>

// The program's windows, created as at start, with every box scripted and recorded.
struct ProgramWindows {
    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    std::unique_ptr<Forms> forms;

    void start()
    {
        testEnv().clearIni();
        prompter.clear();
        desktop.clear();
        forms = std::make_unique<Forms>();
    }
    void stop()
    {
        if (fm_main)
            fm_main->no_quit_prompt = true;
        forms.reset();
    }
};

// Shows the settings dialog (it loads on showing) without blocking the test.
inline bool openSettings()
{
    fm_setting->open();
    return QTest::qWaitForWindowExposed(fm_setting);
}

// As a user picks an entry: the list moves and reports the pick.
inline void pick(QComboBox *list, int position)
{
    list->setCurrentIndex(position);
    emit list->activated(position);
}

// The editor of a line edit or of a numeric field.
inline QLineEdit *editorOf(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit;
    return field->findChild<QLineEdit *>();
}

// Types as a user does, over the whole present text; an empty text is a Backspace.
inline void retype(QWidget *field, const QString &text)
{
    QLineEdit *edit = editorOf(field);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

inline QString stored(const char *section, const char *key)
{
    return IniFile().readString(QString::fromLatin1(section), QString::fromLatin1(key),
                                QStringLiteral("<absent>"));
}
inline QString stored(const IntKey &key) { return stored(key.section, key.key); }
inline QString stored(const TextKey &key) { return stored(key.section, key.key); }
