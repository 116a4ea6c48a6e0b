#include "disc/audio_grabber.h"
#include "gui/main/harvelo_application.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

namespace {

// A drive whose image file the test replaces, as a user changes the disc.
struct ImageDrive {
    QString dir;
    void insert(int tracks) const
    {
        QList<int64_t> frames;
        for (int i = 0; i < tracks; ++i)
            frames << 588 * 75;
        makeCdImage(dir, DiscWindow::untitled(frames));
    }
};

// The controls of a window: what a user can reach, skinned or Qt's own, leaving out the
// parts of composite ones (a spin box's editor, a list's header and scroll bars).
QList<QWidget *> controlsOf(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool control = dynamic_cast<TskStyled *>(w) || qobject_cast<QAbstractButton *>(w) ||
                             qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                             qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QProgressBar *>(w) ||
                             qobject_cast<QAbstractItemView *>(w);
        QWidget *parent = w->parentWidget();
        const bool part = qobject_cast<QHeaderView *>(w) || qobject_cast<QAbstractSpinBox *>(parent) ||
                          qobject_cast<QComboBox *>(parent) || (parent && parent->inherits("QComboBoxPrivateContainer")) ||
                          qobject_cast<QAbstractItemView *>(parent ? parent->parentWidget() : nullptr);
        if (control && !part)
            controls << w;
    }
    return controls;
}

QString describe(QWidget *w)
{
    return QStringLiteral("%1 %2 in %3").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                                             w->window()->objectName());
}

} // namespace

class TestDesktopMain : public QObject {
    Q_OBJECT
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;

private Q_SLOTS:
    void init() { testEnv().clearIni(); }
    void cleanup() { m_window.stop(); }

    // A new disc in the drive of the list refreshes it, as the Refresh button does, while the
    // window is idle; a change during a lookup or a name edit is seen once it is over.
    void discChangeRefreshesTheList_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("busy");
        QTest::addColumn<bool>("refreshedNow");
        QTest::addColumn<bool>("refreshedAfter");
        QTest::newRow("default, within 3 s") << "" << "" << true << true;
        QTest::newRow("yes") << "yes" << "" << true << true;
        QTest::newRow("no") << "no" << "" << false << false;
        QTest::newRow("while a lookup runs") << "yes" << "lookup" << false << true;
        QTest::newRow("while a name is edited") << "yes" << "edit" << false << true;
        QTest::newRow("while a track plays") << "yes" << "playing" << false << true;
    }

    void discChangeRefreshesTheList()
    {
        QFETCH(QString, setting);
        QFETCH(QString, busy);
        QFETCH(bool, refreshedNow);
        QFETCH(bool, refreshedAfter);
        const ImageDrive drive{testEnv().makeDir(QStringLiteral("drive"))};
        drive.insert(2);
        setCdDevices({QDir(drive.dir).filePath(QStringLiteral("disc.cue"))});
        IniFile().write(settings::cdUnit, ::AudioGrabber().driveCount() - 1);
        if (!setting.isEmpty())
            IniFile().write(settings::refreshOnDiscChange, setting);
        m_window.start();
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 2);
        fm_main->skedt_artist->setText(QStringLiteral("typed"));

        if (busy == QLatin1String("lookup"))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor); // as the lookup shows it
        else if (busy == QLatin1String("edit"))
            DiscWindow::row(0)->setSelected(true), fm_main->startTrackNameEdit();
        else if (busy == QLatin1String("playing"))
            fm_main->playing = true;
        drive.insert(3);
        if (refreshedNow) {
            QTRY_COMPARE_WITH_TIMEOUT(fm_main->sklv_main->topLevelItemCount(), 3, 3000);
        } else {
            fm_main->pollDisc();
            QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 2);
        }
        if (busy == QLatin1String("lookup"))
            QGuiApplication::restoreOverrideCursor();
        else if (busy == QLatin1String("edit"))
            fm_main->commitOpenEdit();
        fm_main->playing = false;
        fm_main->pollDisc();
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), refreshedAfter ? 3 : 2);
        QCOMPARE(DiscWindow::tickedRows(), fm_main->sklv_main->topLevelItemCount());
        QCOMPARE(fm_main->skedt_artist->text(), refreshedAfter ? QStringLiteral("Unknown Artist") : QStringLiteral("typed"));
        QVERIFY(m_prompter.boxes.isEmpty()); // an automatic refresh asks nothing
    }

    // Every control of every window answers a screen reader with a name and a role; the parts
    // the skinned title bars and tab strip draw themselves too.
    void everyControlHasANameAndRole()
    {
        m_window.start();
        int checked = 0;
        QStringList unnamed;
        for (QWidget *window : {static_cast<QWidget *>(fm_main), static_cast<QWidget *>(fm_setting),
                                static_cast<QWidget *>(fm_progress), static_cast<QWidget *>(fm_encode),
                                static_cast<QWidget *>(fm_decode), static_cast<QWidget *>(fm_outputdir)}) {
            for (QWidget *control : controlsOf(window)) {
                if (control->window() != window) // a window of its own, checked as such
                    continue;
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
                QVERIFY2(iface, qPrintable(describe(control)));
                if (iface->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << describe(control);
                QVERIFY2(iface->role() != QAccessible::NoRole && iface->role() != QAccessible::Client,
                         qPrintable(describe(control)));
                const bool drawsParts = iface->role() == QAccessible::TitleBar || iface->role() == QAccessible::PageTabList;
                for (int i = 0; drawsParts && i < iface->childCount(); ++i) {
                    QAccessibleInterface *part = iface->child(i);
                    if (part && part->object()) // a child widget, checked as a control
                        continue;
                    if (!part || part->text(QAccessible::Name).isEmpty())
                        unnamed << describe(control) + QStringLiteral(" part %1").arg(i);
                }
                ++checked;
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("; "))));
        QVERIFY(checked > 60);
        QAccessibleInterface *rip = QAccessible::queryAccessibleInterface(fm_main->btn_ripcd);
        QCOMPARE(rip->text(QAccessible::Name), QStringLiteral("Rip CD"));
        QCOMPARE(rip->role(), QAccessible::Button);
        QVERIFY(QAccessible::queryAccessibleInterface(fm_main->btn_mp3)->state().checked);
        QVERIFY(!QAccessible::queryAccessibleInterface(fm_main->btn_ogg)->state().checked);
        fm_main->btn_ogg->click();
        QVERIFY(!QAccessible::queryAccessibleInterface(fm_main->btn_mp3)->state().checked);
        QVERIFY(QAccessible::queryAccessibleInterface(fm_main->btn_ogg)->state().checked);
    }

    // The title bar's buttons and the settings tabs are parts with names, roles and a press.
    void drawnPartsAnswerAndAct()
    {
        m_window.start();
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(fm_setting->form->titleBar());
        QCOMPARE(bar->role(), QAccessible::TitleBar);
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i)
            names << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(names, (QStringList{"Window menu", "Minimize", "Help", "Close"}));
        QAccessibleInterface *close = bar->child(3);
        QCOMPARE(close->role(), QAccessible::PushButton);
        QCOMPARE(bar->indexOfChild(close), 3);
        QCOMPARE(close->parent(), bar);

        QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(fm_setting->pgc_setting);
        QCOMPARE(tabs->role(), QAccessible::PageTabList);
        QAccessibleInterface *output = nullptr;
        for (int i = 0; i < tabs->childCount(); ++i) {
            if (tabs->child(i)->text(QAccessible::Name) == QLatin1String("Output"))
                output = tabs->child(i);
        }
        QVERIFY(output);
        QCOMPARE(output->role(), QAccessible::PageTab);
        QVERIFY(!output->state().selected);
        output->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(fm_setting->pgc_setting->tabText(fm_setting->pgc_setting->currentIndex()), QStringLiteral("Output"));
        QVERIFY(output->state().selected);
    }

    // The track list gives its rows, their cells and their check states.
    void trackListRowsAndTicks()
    {
        DiscWindow::insertDisc(DiscWindow::untitled({588 * 75, 588 * 150, 588 * 75}));
        m_window.start();
        DiscWindow::row(1)->setCheckState(0, Qt::Unchecked);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(fm_main->sklv_main);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Tracks"));
        QAccessibleTableInterface *table = list->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 4);
        QCOMPARE(table->columnDescription(1), QStringLiteral("Track name"));
        for (int row = 0; row < 3; ++row) {
            QAccessibleInterface *tick = table->cellAt(row, 0);
            QVERIFY(tick->state().checkable);
            QCOMPARE(bool(tick->state().checked), row != 1);
            QCOMPARE(tick->text(QAccessible::Name), QStringLiteral("%1.").arg(row + 1));
            QCOMPARE(table->cellAt(row, 1)->text(QAccessible::Name), QStringLiteral("Track%1").arg(row + 1));
        }
    }
};

HARVELO_TEST_MAIN(TestDesktopMain, HarveloApplication)
#include "tst_desktop_main.moc"
