#include "tests/gui/settings/settings_fixture.h"

#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>

namespace {

// Selects a folder in the picker's tree as a click would; an empty path clears the selection.
void selectFolder(const QString &path)
{
    QTreeView *tree = fm_outputdir->stv_outputdir;
    if (path.isEmpty())
        tree->selectionModel()->clearSelection();
    else
        tree->setCurrentIndex(fm_outputdir->model->index(path));
}

// Presses "Select directory" in the settings dialog; inside the modal picker, selects `path`
// and presses "&Ok" (or "&Cancel").
void pickThroughSettings(const QString &path, bool ok)
{
    bool reached = false;
    QTimer::singleShot(0, fm_outputdir, [&] {
        reached = fm_outputdir->isVisible() && fm_outputdir->isModal();
        selectFolder(path);
        (ok ? fm_outputdir->skbtn_ok1 : fm_outputdir->skbtn_can)->click();
    });
    fm_setting->Panel3->skbtn_outputdir->click();
    QVERIFY(reached);
    QVERIFY(!fm_outputdir->isVisible());
}

} // namespace

class TestOutputDirPicker : public QObject {
    Q_OBJECT

private:
    ProgramWindows m_program;
    QString m_music, m_other;

private Q_SLOTS:
    void init()
    {
        m_program.start();
        m_music = testEnv().makeDir(QStringLiteral("music"));
        m_other = testEnv().makeDir(QStringLiteral("other"));
        QDir(m_music).mkpath(QStringLiteral("inner/deeper"));
        QFile(QDir(m_music).filePath(QStringLiteral("a file.txt"))).open(QIODevice::WriteOnly);
        IniFile().write(settings::outputDirectory, m_music);
    }
    void cleanup() { m_program.stop(); }

    void pickerIsAFolderTreeOfTheFileSystem()
    {
        fm_outputdir->open();
        QVERIFY(QTest::qWaitForWindowExposed(fm_outputdir));
        QCOMPARE(fm_outputdir->windowTitle(), QStringLiteral("Selcet directory"));
        QCOMPARE(fm_outputdir->form->clientRect().size(), QSize(273, 259));
        QCOMPARE(fm_outputdir->selectedDirectory(), QString());
        QFileSystemModel *model = fm_outputdir->model.get();
        QTreeView *tree = fm_outputdir->stv_outputdir;
        // One top-level item, the root of the file system, with the home directory open.
        QCOMPARE(model->filePath(model->index(0, 0, tree->rootIndex())), QStringLiteral("/"));
        QVERIFY(tree->isExpanded(model->index(QDir::homePath())));
        // Folders only.
        const QModelIndex music = model->index(m_music);
        model->fetchMore(music);
        QTRY_COMPARE(model->rowCount(music), 1);
        QCOMPARE(model->fileName(model->index(0, 0, music)), QStringLiteral("inner"));
    }

    void rightClickSelectsTheFolderUnderThePointer()
    {
        fm_outputdir->open();
        QVERIFY(QTest::qWaitForWindowExposed(fm_outputdir));
        QTreeView *tree = fm_outputdir->stv_outputdir;
        const QModelIndex home = fm_outputdir->model->index(QDir::homePath());
        tree->scrollTo(home);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualRect(home).center());
        fm_outputdir->skbtn_ok1->click();
        QCOMPARE(fm_outputdir->selectedDirectory(), QDir::homePath());
    }

    void okTakesTheSelectedFolderForTheWholeRun()
    {
        fm_outputdir->open();
        selectFolder(m_other);
        fm_outputdir->skbtn_ok1->click();
        QVERIFY(!fm_outputdir->isVisible());
        QCOMPARE(fm_outputdir->selectedDirectory(), m_other);

        // Shown again: the tree still holds the folder; Cancel keeps the result.
        fm_outputdir->open();
        QCOMPARE(fm_outputdir->model->filePath(fm_outputdir->stv_outputdir->currentIndex()),
                 m_other);
        selectFolder(m_music);
        fm_outputdir->skbtn_can->click();
        QCOMPARE(fm_outputdir->selectedDirectory(), m_other);

        // The title bar's close button cancels too.
        fm_outputdir->open();
        selectFolder(m_music);
        TskTitleBar *bar = fm_outputdir->form->titleBar();
        for (int i = 0; i < bar->buttonCount(); ++i)
            if (bar->button(i).type == TskTitleBar::skClose)
                bar->runButton(i);
        QVERIFY(!fm_outputdir->isVisible());
        QCOMPARE(fm_outputdir->selectedDirectory(), m_other);
    }

    void okWithNothingSelectedLeavesTheFieldAlone()
    {
        fm_outputdir->open();
        selectFolder(m_other);
        fm_outputdir->skbtn_ok1->click();
        QVERIFY(openSettings());
        pickThroughSettings(QString(), true);
        QCOMPARE(fm_outputdir->selectedDirectory(), QString());
        QCOMPARE(fm_setting->Panel3->skedt_outputdir->text(), m_music);
    }

    void firstCancelLeavesTheField()
    {
        QVERIFY(openSettings());
        pickThroughSettings(m_other, false);
        QCOMPARE(fm_outputdir->selectedDirectory(), QString());
        QCOMPARE(fm_setting->Panel3->skedt_outputdir->text(), m_music);
    }

    void pickedFolderIsStoredOnlyByOk()
    {
        QVERIFY(openSettings());
        QVERIFY(!fm_setting->Panel3->skedt_outputdir->isEnabled());
        pickThroughSettings(m_other, true);
        QCOMPARE(fm_setting->Panel3->skedt_outputdir->text(), m_other);
        fm_setting->skbtn_cancel->click();
        QCOMPARE(stored(settings::outputDirectory), m_music);

        // The next show loads the stored directory again.
        QVERIFY(openSettings());
        QCOMPARE(fm_setting->Panel3->skedt_outputdir->text(), m_music);
        // The earlier pick comes back from a picker that is cancelled this time.
        pickThroughSettings(m_music + QStringLiteral("/inner"), false);
        QCOMPARE(fm_setting->Panel3->skedt_outputdir->text(), m_other);
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(settings::outputDirectory), m_other);
    }
};

HARVELO_TEST_MAIN(TestOutputDirPicker, QApplication)
#include "tst_output_dir_picker.moc"
