#include "gui/main/harvelo_application.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/image_checks.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <QtTest>

namespace {

constexpr int64_t kSector = 588;

QAction *menuItem(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void clickCell(int row, int x)
{
    QTest::mouseClick(fm_main->sklv_main->viewport(), Qt::LeftButton, {}, DiscWindow::cellPoint(row, x));
}

void doubleClickCell(int row, int x)
{
    DiscWindow::doubleClickAt(DiscWindow::cellPoint(row, x));
}

// Inside the check box of a row, clear of its anti-aliased edge.
QRect tickBox(QTreeWidget *list, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(list->model()->index(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.checkState = Qt::Checked;
    option.text = QStringLiteral("1.");
    return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
        .adjusted(2, 2, -2, -2);
}

} // namespace

class TestTrackList : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;

    void startOnThreeTracks()
    {
        DiscWindow::insertDisc({{cdFramesForMs(2000), "One"}, {cdFramesForMs(2000), "Two"},
                                {cdFramesForMs(2000), "Three"}},
                               "Disc Artist", "Disc Album");
        m_window.start();
    }

    // Opens the editor on `row` with a double click on its name and types `text` over the name.
    void editName(int row, const QString &text)
    {
        doubleClickCell(row, 100);
        QVERIFY(fm_main->Edit1->isVisible());
        QTRY_VERIFY(fm_main->Edit1->hasFocus());
        fm_main->Edit1->selectAll();
        if (text.isEmpty())
            QTest::keyClick(fm_main->Edit1, Qt::Key_Backspace);
        else
            QTest::keyClicks(fm_main->Edit1, text);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
        m_desktop.clear();
    }
    void cleanup() { m_window.stop(); }

    void selectedRowIsReadable_data()
    {
        QTest::addColumn<int>("skin");
        QTest::newRow("no skin") << 0;
        const char *names[] = {"Pewter", "Maroon", "Green", "Titian", "SkyBlue"};
        for (int i = 1; i <= 5; ++i)
            QTest::newRow(names[i - 1]) << i;
    }

    // The selected row is drawn in the skin's colours, and its name stands out from them.
    void selectedRowIsReadable()
    {
        QFETCH(int, skin);
        startOnThreeTracks();
        if (skin > 0)
            fm_main->skinMenuClick(skin);
        QTreeWidget *list = fm_main->sklv_main;
        list->setCurrentItem(DiscWindow::row(1));
        QVERIFY(DiscWindow::row(1)->isSelected());
        const QImage shown = list->viewport()->grab().toImage();
        QRect cell = list->visualItemRect(DiscWindow::row(1));
        cell.setLeft(list->header()->sectionPosition(1) + 2);
        cell.setWidth(list->header()->sectionSize(1) - 4);
        cell.adjust(0, 1, 0, -2); // inside the grid lines
        const auto [selected, ink] = backgroundAndInk(shown, cell);
        QVERIFY2(ink >= 3, qPrintable(QStringLiteral("contrast %1").arg(ink)));
        // The highlight is not the white of the other rows.
        QRect other = list->visualItemRect(DiscWindow::row(0));
        other.setLeft(cell.left());
        other.setWidth(cell.width());
        QVERIFY(backgroundAndInk(shown, other.adjusted(0, 1, 0, -2)).first != selected);
        // Its tick looks like the tick of any other row, not pale on the highlight.
        QCOMPARE(shown.copy(tickBox(list, 1)), shown.copy(tickBox(list, 0)));
    }

    void rowsShowNumberNameLengthAndSize()
    {
        CdImageOptions sparse;
        sparse.sparse = true;
        DiscWindow::insertDisc(DiscWindow::untitled({4499 * kSector, 4500 * kSector, 45375 * kSector,
                                                     15420 * kSector, 270000 * kSector}),
                               {}, {}, sparse);
        m_window.start();
        QCOMPARE(DiscWindow::column(0), (QStringList{"1.", "2.", "3.", "4.", "5."}));
        QCOMPARE(DiscWindow::column(1), (QStringList{"Track1", "Track2", "Track3", "Track4", "Track5"}));
        QCOMPARE(DiscWindow::column(2), (QStringList{"0:59", "1:00", "10:05", "3:25", "60:00"}));
        QCOMPARE(DiscWindow::column(3),
                 (QStringList{"10.09MB", "10.09MB", "101.78MB", "34.59MB", "605.62MB"}));
        QCOMPARE(DiscWindow::tickedRows(), 5);
        // The first refresh at start is silent and asks nothing.
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void discWithoutNames()
    {
        DiscWindow::insertDisc(DiscWindow::untitled(QList<int64_t>(7, 10 * kSector)));
        m_window.start();
        QCOMPARE(fm_main->skedt_artist->text(), QString("Unknown Artist"));
        QCOMPARE(fm_main->skedt_album->text(), QString("Unknown Album"));
        QCOMPARE(fm_main->skcb_genre->currentIndex(), 12);
        QCOMPARE(fm_main->skcb_genre->currentText(), QString("Other"));
        QCOMPARE(DiscWindow::column(1).last(), QString("Track7"));
    }

    void namesFromTheDisc()
    {
        DiscWindow::insertDisc({{10 * kSector, "Opening"}, {10 * kSector, ""}, {10 * kSector, "Coda"}},
                               "Some Artist", "Some Album");
        m_window.start();
        QCOMPARE(fm_main->skedt_artist->text(), QString("Some Artist"));
        QCOMPARE(fm_main->skedt_album->text(), QString("Some Album"));
        QCOMPARE(DiscWindow::column(1), (QStringList{"Opening", "Track2", "Coda"}));
    }

    void refreshReadsTheDriveOfCdUnit()
    {
        const QString first = DiscWindow::insertDisc(DiscWindow::untitled({10 * kSector}));
        const QString second = DiscWindow::insertDisc(DiscWindow::untitled({10 * kSector, 20 * kSector}));
        setCdDevices({first, second});
        IniFile().write(settings::cdUnit, ::AudioGrabber().driveCount() - 1);
        m_window.start();
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 2);
        IniFile().write(settings::cdUnit, fm_main->AudioGrabber.driveCount() - 2);
        QTest::mouseClick(fm_main->btn_refresh, Qt::LeftButton);
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 1);
        QCOMPARE(fm_main->AudioGrabber.driveLetter(), first);
    }

    void noDiscLeavesTheListEmpty()
    {
        DiscWindow::insertDisc(DiscWindow::untitled({10 * kSector}));
        IniFile().write(settings::cdUnit, 40);
        m_window.start();
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 0);
        QCOMPARE(fm_main->skedt_artist->text(), QString("Unknown Artist"));
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    // A .toc file that made libcdio divide by zero before the window appeared.
    void imageThatIsNotValidIsADriveWithoutDisc()
    {
        const QString toc = QDir(testEnv().makeDir(QStringLiteral("badimage"))).filePath(QStringLiteral("crash.toc"));
        QVERIFY(writeFileBytes(toc, "TRACK\nSILENCE 00:00:01\nFILE\n"));
        setCdDevices({toc});
        IniFile().write(settings::cdUnit, ::AudioGrabber().driveCount() - 1);
        m_window.start();
        QCOMPARE(fm_main->AudioGrabber.driveLetter(), toc);
        QCOMPARE(fm_main->sklv_main->topLevelItemCount(), 0);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void everyRefreshRebuildsAndTicksEveryRow()
    {
        startOnThreeTracks();
        DiscWindow::row(0)->setCheckState(0, Qt::Unchecked);
        DiscWindow::row(2)->setCheckState(0, Qt::Unchecked);
        DiscWindow::row(1)->setText(1, "Renamed");
        fm_main->skedt_artist->setText("Typed");
        fm_main->skcb_genre->setCurrentIndex(3);
        QTest::mouseClick(fm_main->btn_refresh, Qt::LeftButton);
        QCOMPARE(DiscWindow::tickedRows(), 3);
        QCOMPARE(DiscWindow::column(1), (QStringList{"One", "Two", "Three"}));
        QCOMPARE(fm_main->skedt_artist->text(), QString("Disc Artist"));
        QCOMPARE(fm_main->skcb_genre->currentIndex(), 12);
    }

    void selectAllAndNoneFromTheMenu()
    {
        startOnThreeTracks();
        menuItem(fm_main->skpm_main, "Select &None")->trigger();
        QCOMPARE(DiscWindow::tickedRows(), 0);
        DiscWindow::row(1)->setCheckState(0, Qt::Checked);
        menuItem(fm_main->skpm_main, "Select &All")->trigger();
        QCOMPARE(DiscWindow::tickedRows(), 3);
    }

    void doubleClickOpensTheEditorOnTheNameOnly_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("opens");
        QTest::newRow("NO.") << 30 << false;
        QTest::newRow("last pixel of NO.") << 59 << false;
        QTest::newRow("first pixel of the name") << 60 << true;
        QTest::newRow("name") << 200 << true;
        QTest::newRow("name's right edge") << 310 << true;
        QTest::newRow("Length") << 330 << false;
        QTest::newRow("Size") << 380 << false;
    }
    void doubleClickOpensTheEditorOnTheNameOnly()
    {
        QFETCH(int, x);
        QFETCH(bool, opens);
        startOnThreeTracks();
        doubleClickCell(1, x);
        QCOMPARE(fm_main->Edit1->isVisible(), opens);
        if (!opens)
            return;
        const QRect rowRect = fm_main->sklv_main->visualItemRect(DiscWindow::row(1));
        QCOMPARE(fm_main->Edit1->parentWidget(), fm_main->sklv_main->viewport());
        QCOMPARE(fm_main->Edit1->geometry(), QRect(60, rowRect.top() - 1, 251, 19));
        QCOMPARE(fm_main->Edit1->text(), QString("Two"));
        QCOMPARE(fm_main->edit_row, 1);
        QTRY_VERIFY(fm_main->Edit1->hasFocus());
    }

    void noEditorWithoutASelectedRow()
    {
        startOnThreeTracks();
        // A double click on the name column below the last row selects nothing.
        const int below = fm_main->sklv_main->visualItemRect(DiscWindow::row(2)).bottom() + 40;
        DiscWindow::doubleClickAt(QPoint(100, below));
        QVERIFY(fm_main->Edit1->isHidden());
        fm_main->sklv_main->clearSelection();
        fm_main->startTrackNameEdit();
        QVERIFY(fm_main->Edit1->isHidden());
    }

    void editMenuItemNeedsNoNameColumn()
    {
        startOnThreeTracks();
        clickCell(2, 380);
        fm_main->FormContextPopup();
        QVERIFY(fm_main->mi_editTrackName->isEnabled());
        fm_main->mi_editTrackName->trigger();
        QVERIFY(fm_main->Edit1->isVisible());
        QCOMPARE(fm_main->Edit1->text(), QString("Three"));
        QCOMPARE(fm_main->edit_row, 2);

        fm_main->sklv_main->clearSelection();
        fm_main->FormContextPopup();
        QVERIFY(!fm_main->mi_editTrackName->isEnabled());
    }

    void editIsKeptAfterClickingElsewhere()
    {
        startOnThreeTracks();
        editName(0, "New Name");
        clickCell(2, 380);
        QVERIFY(fm_main->Edit1->isHidden());
        QCOMPARE(DiscWindow::column(1), (QStringList{"New Name", "Two", "Three"}));
        // The edited name is what the list holds now: a second edit starts from it.
        doubleClickCell(0, 100);
        QCOMPARE(fm_main->Edit1->text(), QString("New Name"));
    }

    void emptiedEditKeepsTheOldName()
    {
        startOnThreeTracks();
        editName(1, {});
        QCOMPARE(fm_main->Edit1->text(), QString());
        fm_main->skedt_album->setFocus();
        QTRY_VERIFY(fm_main->Edit1->isHidden());
        QCOMPARE(DiscWindow::column(1), (QStringList{"One", "Two", "Three"}));
    }
};

HARVELO_TEST_MAIN(TestTrackList, HarveloApplication)
#include "tst_track_list.moc"
