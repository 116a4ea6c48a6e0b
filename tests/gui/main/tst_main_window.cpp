#include "gui/main/forms.h"
#include "gui/main/harvelo_application.h"
#include "gui/main/help_window.h"
#include "gui/services/qt_services.h"
#include "tags/genres.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/audio_probe.h"
#include "tests/support/image_checks.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QPointer>
#include <QScopeGuard>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <stdexcept>

namespace {

// Throws from its event handler, as a failing component call would.
class Thrower : public QObject {
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("component failure");
        return QObject::event(e);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    std::unique_ptr<Forms> m_forms;

    void start()
    {
        m_forms = std::make_unique<Forms>();
        fm_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(fm_main));
        fm_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_main));
        QTRY_VERIFY(fm_main->shown);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
        m_desktop.clear();
    }
    void cleanup()
    {
        if (fm_main)
            fm_main->no_quit_prompt = true;
        m_forms.reset();
    }

    // The program's own resources are linked in: the help window shows its pages.
    void helpWindowShowsItsPages()
    {
        start();
        QtDesktop desktop;
        desktop.openHelp();
        HelpWindow *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            help = help ? help : qobject_cast<HelpWindow *>(w);
        QVERIFY(help);
        QCOMPARE(help->windowTitle(), QStringLiteral("Harvelo Help"));
        QVERIFY(help->document()->toPlainText().contains(QStringLiteral("Harvelo")));
        help->close(); // a later case must not find it
    }

    void helpFromTheSettingsDialog_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
    }

    // The settings dialog's Help shows the settings page in a help window that takes input
    // beside the modal dialog and closes from the keyboard (no window manager may be there).
    void helpFromTheSettingsDialog()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        start();
        QtDesktop desktop;
        services::setDesktop(&desktop);
        const auto restore = qScopeGuard([this] { services::setDesktop(&m_desktop); });
        QPointer<HelpWindow> help;
        QString page;
        bool closedByKey = false;
        QTimer::singleShot(0, fm_setting, [&] {
            if (QTest::qWaitForWindowExposed(fm_setting)) {
                fm_setting->skbtn_help->click();
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (!help)
                        help = qobject_cast<HelpWindow *>(w);
            }
            if (help && QTest::qWaitForWindowExposed(help)) {
                page = help->source().fileName();
                QTest::keyClick(help->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
                closedByKey = !help->isVisible();
            }
            fm_setting->reject();
        });
        fm_setting->exec();
        QVERIFY(help);
        QCOMPARE(page, QStringLiteral("settings.html"));
        QVERIFY(closedByKey);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    // The production file dialog shows a filter's words as given, once, and lists the files
    // of every one of its patterns.
    void fileDialogShowsItsFilterOnce()
    {
        const QDir dir(testEnv().makeDir(QStringLiteral("choose")));
        for (const char *name : {"a.mp3", "b.ogg", "c.wav", "d.wma"})
            QVERIFY(writeFileBytes(dir.filePath(QString::fromLatin1(name)), "x"));
        QString title, shownFilter;
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto *fd = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!fd)
                return;
            title = fd->windowTitle();
            if (auto *combo = fd->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
                shownFilter = combo->currentText();
            if (auto *view = fd->findChild<QListView *>(QStringLiteral("listView"))) {
                // A time-out shows in the listed names compared below.
                (void)QTest::qWaitFor([view] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 5000);
                for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                    listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
            }
            fd->reject();
        });
        QtPrompter prompter;
        Prompter::FileDialog dialog;
        dialog.title = QStringLiteral("Choose MP3, WMA or OGG files to decode to WAV");
        dialog.filter = QStringLiteral("(*.mp3,*.wma,*.ogg)");
        dialog.patterns = QStringList{"*.mp3", "*.wma", "*.ogg"};
        dialog.directory = dir.path();
        dialog.multiSelect = true;
        QVERIFY(prompter.openFiles(dialog, nullptr).isEmpty());
        QCOMPARE(title, dialog.title);
        QCOMPARE(shownFilter, dialog.filter);
        listed.sort();
        QCOMPARE(listed, (QStringList{"a.mp3", "b.ogg", "d.wma"}));
    }

    // Every command of the action menu shows an icon in the menu's side bar.
    void actionMenuShowsIcons()
    {
        start();
        QMenu *menu = fm_main->pm_action;
        const QStringList commands{"&Refresh", "&FREEDB", "&Rip CD", "&Encode", "&Decode to WAV",
                                   "&WAV Normalize", "E&xit"};
        menu->popup(fm_main->mapToGlobal(QPoint(20, 60)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage shown = menu->grab().toImage();
        QStringList bare, seen;
        for (QAction *action : menu->actions()) {
            if (!commands.contains(action->text()))
                continue;
            seen << action->text();
            const QRect item = menu->actionGeometry(action);
            const QRect bar(item.left() + 3, item.top() + 2, 20, item.height() - 4);
            if (action->icon().isNull() || backgroundAndInk(shown, bar).second < 3)
                bare << action->text();
        }
        menu->close();
        QCOMPARE(seen, commands);
        QCOMPARE(bare, QStringList());
    }

    // ... and the click sound is there, a WAV an independent reader takes.
    void clickSoundLoads()
    {
        start();
        QFile click(QStringLiteral(":/sounds/SOUND_CLICK.wav"));
        QVERIFY(click.open(QIODevice::ReadOnly));
        const QString copy = QDir(testEnv().makeDir(QStringLiteral("click"))).filePath("click.wav");
        QVERIFY(writeFileBytes(copy, click.readAll()));
        const ProbeResult p = probeAudio(copy);
        QVERIFY(p.ok);
        QCOMPARE(p.codec, QStringLiteral("pcm_s16le"));
        QVERIFY(p.seconds > 0);
    }

    void startWritesOnlyTheServerAndTheOutputType()
    {
        {
            IniFile ini;
            ini.write(settings::outputType, 3);
        }
        start();
        QVERIFY(fm_main->isVisible());
        QVERIFY(fm_main->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(fm_main->size(), QSize(525, 380));
        QVERIFY(!fm_main->mask().isEmpty());
        QVERIFY(!fm_main->mask().contains(QPoint(0, 0)));
        QVERIFY(fm_main->mask().contains(QPoint(262, 190)));
        QCOMPARE(fm_main->lbl_version->text(), QString("version 1.20"));
        QCOMPARE(fm_main->output_format, 0);

        IniFile ini;
        QCOMPARE(ini.readString("cddb", "cddb server", {}), fm_main->AudioGrabber.cddbServerAddress());
        QCOMPARE(ini.readString("cddb", "cgi script", {}), QString("/~cddb/cddb.cgi"));
        QCOMPARE(ini.readInteger("output format", "output type", -1), 0);

        const QByteArray afterStart = fileBytes(testEnv().iniPath());
        m_prompter.answers.enqueue(Prompter::Answer::Yes);
        QVERIFY(fm_main->close());
        QCOMPARE(fileBytes(testEnv().iniPath()), afterStart);
    }

    void controlsOfTheFace()
    {
        start();
        QCOMPARE(fm_main->skcb_genre->count(), 148);
        QCOMPARE(fm_main->skcb_genre->itemText(16), QString("Reggae "));
        QCOMPARE(fm_main->skcb_genre->itemText(17), QString("Rock"));
        QCOMPARE(fm_main->skcb_genre->itemText(147), QString("SynthPop"));
        QCOMPARE(QString(genre_names[16]), QString("Reggae"));
        int blanks = 0;
        for (int i = 0; i < 148; ++i)
            blanks += fm_main->skcb_genre->itemText(i).endsWith(' ');
        QCOMPARE(blanks, 9);

        QTreeWidget *list = fm_main->sklv_main;
        QCOMPARE(list->geometry(), QRect(18, 80, 487, 232));
        QCOMPARE(list->headerItem()->text(0), QString("NO."));
        QCOMPARE(list->headerItem()->text(3), QString("Size"));
        QCOMPARE(list->columnWidth(1), 250);
        list->header()->resizeSection(1, 400);
        QCOMPARE(list->columnWidth(1), 300);
        list->header()->resizeSection(3, 20);
        QCOMPARE(list->columnWidth(3), 60);
        QCOMPARE(fm_main->btn_ripcd->pos(), QPoint(458, 316));
        QVERIFY(fm_main->Edit1->isHidden());
    }

    void quitQuestion_data()
    {
        QTest::addColumn<Prompter::Answer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("no keeps the window") << Prompter::Answer::No << false;
        QTest::newRow("yes ends") << Prompter::Answer::Yes << true;
    }
    void quitQuestion()
    {
        QFETCH(Prompter::Answer, answer);
        QFETCH(bool, closed);
        start();
        fm_main->skedt_artist->setText("Kept Artist");
        m_prompter.answers.enqueue(answer);
        QTest::keyClick(fm_main->windowHandle(), Qt::Key_Escape);
        QCOMPARE(m_prompter.texts(), QStringList{"Are you sure to quit?"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Confirmation);
        QCOMPARE(m_prompter.boxes.first().buttons, Prompter::Buttons::YesNo);
        QCOMPARE(fm_main->isVisible(), !closed);
        QCOMPARE(fm_main->skedt_artist->text(), QString("Kept Artist"));
    }

    void escapeInTheTrackNameEditorAsksToo()
    {
        start();
        fm_main->skedt_album->setFocus();
        QTest::keyClick(fm_main->windowHandle(), Qt::Key_Escape);
        QCOMPARE(m_prompter.texts(), QStringList{"Are you sure to quit?"});
        QVERIFY(fm_main->isVisible());
    }

    void escapeClosingAPopupDoesNotAsk_data()
    {
        QTest::addColumn<QString>("popup");
        QTest::newRow("action menu") << "action";
        QTest::newRow("help menu") << "help";
        QTest::newRow("track list menu") << "list";
        QTest::newRow("genre list") << "genre";
    }

    // Esc that closes a menu or the genre list is the popup's; only the next one reaches the
    // main window and asks.
    void escapeClosingAPopupDoesNotAsk()
    {
        QFETCH(QString, popup);
        start();
        if (popup == QLatin1String("genre"))
            fm_main->skcb_genre->showPopup();
        else
            (popup == QLatin1String("action") ? fm_main->pm_action
             : popup == QLatin1String("help") ? fm_main->pm_help
                                              : fm_main->skpm_main)
                ->popup(fm_main->mapToGlobal(QPoint(40, 60)));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QWidget *shown = QApplication::activePopupWidget();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTest::keyClick(fm_main->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!shown->isVisible());
        QVERIFY(m_prompter.boxes.isEmpty());
        // The window has the keyboard again, on its track list.
        fm_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_main));
        fm_main->sklv_main->setFocus();
        QTest::keyClick(fm_main->windowHandle(), Qt::Key_Escape);
        QCOMPARE(m_prompter.texts(), QStringList{"Are you sure to quit?"});
    }

    void escapeUnderAModalWindowDoesNothing()
    {
        start();
        QDialog *dialog = fm_setting;
        QTimer::singleShot(0, dialog, [dialog, this] {
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(dialog->windowHandle(), Qt::Key_F1);
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
            dialog->reject();
        });
        dialog->exec();
        QVERIFY(m_prompter.texts().isEmpty());
        QVERIFY(fm_main->isVisible());
        QCOMPARE(m_desktop.helpOpened, 1);
    }

    void f1AndContentOpenHelp()
    {
        start();
        QTest::keyClick(fm_main->windowHandle(), Qt::Key_F1);
        QCOMPARE(m_desktop.helpOpened, 1);
        fm_main->ContentClick();
        QCOMPARE(m_desktop.helpOpened, 2);
        QTest::mouseClick(fm_main->lbl_web, Qt::LeftButton);
        QCOMPARE(m_desktop.helpOpened, 3);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void exceptionAsksToRestart_data()
    {
        QTest::addColumn<Prompter::Answer>("answer");
        QTest::addColumn<int>("restarts");
        QTest::newRow("yes restarts") << Prompter::Answer::Yes << 1;
        QTest::newRow("no exits") << Prompter::Answer::No << 0;
    }
    void exceptionAsksToRestart()
    {
        QFETCH(Prompter::Answer, answer);
        QFETCH(int, restarts);
        start();
        m_prompter.answers.enqueue(answer);
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTRY_COMPARE(m_prompter.boxes.size(), 1);
        QCOMPARE(m_prompter.boxes.first().text,
                 QString("A system error occurs,click Yes to execute again,click No to exit!"));
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Confirmation);
        QVERIFY(!fm_main->isVisible());
        QCOMPARE(m_desktop.restarts, restarts);
        // No quit question follows the restart question.
        QCOMPARE(m_prompter.boxes.size(), 1);
    }

    void popupMenusHoldEveryItem()
    {
        start();
        QStringList actions;
        for (QAction *a : fm_main->pm_action->actions())
            actions << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(actions, (QStringList{"&Refresh", "&FREEDB", "&Rip CD", "-", "&Encode",
                                       "&Decode to WAV", "&WAV Normalize", "-", "Select &Skin", "E&xit"}));
        QStringList help;
        for (QAction *a : fm_main->pm_help->actions())
            help << a->text();
        QCOMPARE(help, (QStringList{"&Content", "&Web site"}));
        QVERIFY(!fm_main->mi_editTrackName->isEnabled());
    }
};

HARVELO_TEST_MAIN(TestMainWindow, HarveloApplication)
#include "tst_main_window.moc"
