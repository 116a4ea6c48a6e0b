#include "tests/gui/main/disc_window.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QtTest>

DiscWindow::~DiscWindow()
{
    stop();
}

QString DiscWindow::insertDisc(const QList<CdImageTrack> &tracks, const QString &artist,
                               const QString &album, const CdImageOptions &options)
{
    static int discs = 0;
    const QString dir = testEnv().makeDir(QStringLiteral("disc%1").arg(++discs));
    const QString cue = makeCdImage(dir, tracks, artist, album, options);
    setCdDevices({cue});
    ::AudioGrabber probe;
    IniFile().write(settings::cdUnit, probe.driveCount() - 1);
    return cue;
}

QList<CdImageTrack> DiscWindow::untitled(const QList<int64_t> &frames)
{
    QList<CdImageTrack> tracks;
    for (int64_t f : frames)
        tracks << CdImageTrack{f};
    return tracks;
}

void DiscWindow::start()
{
    m_forms = std::make_unique<Forms>();
    fm_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(fm_main));
    fm_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fm_main));
    QTRY_VERIFY(fm_main->shown);
}

void DiscWindow::stop()
{
    if (fm_main)
        fm_main->no_quit_prompt = true;
    m_forms.reset();
}

QStringList DiscWindow::column(int column)
{
    QStringList texts;
    for (int i = 0; i < fm_main->sklv_main->topLevelItemCount(); ++i)
        texts << fm_main->sklv_main->topLevelItem(i)->text(column);
    return texts;
}

int DiscWindow::tickedRows()
{
    int ticked = 0;
    for (int i = 0; i < fm_main->sklv_main->topLevelItemCount(); ++i)
        ticked += fm_main->sklv_main->topLevelItem(i)->checkState(0) == Qt::Checked;
    return ticked;
}

QTreeWidgetItem *DiscWindow::row(int index)
{
    return fm_main->sklv_main->topLevelItem(index);
}

QPoint DiscWindow::cellPoint(int row, int x)
{
    return QPoint(x, fm_main->sklv_main->visualItemRect(DiscWindow::row(row)).center().y());
}

void DiscWindow::doubleClickAt(const QPoint &viewportPos)
{
    QWidget *viewport = fm_main->sklv_main->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, viewportPos);
    QTest::mousePress(viewport, Qt::LeftButton, {}, viewportPos);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, viewportPos);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewportPos);
}

void DiscWindow::distinctSkinPictures()
{
    for (size_t slot = 0; slot < fm_main->skin_pic.size(); ++slot) {
        QPixmap pic(49, 50);
        pic.fill(QColor::fromHsv(int(slot) * 8, 200, 200));
        fm_main->skin_pic[slot] = pic;
    }
    fm_main->btn_play->setPictures(fm_main->skin_pic[7], fm_main->skin_pic[8], fm_main->skin_pic[9]);
    fm_main->btn_pause->setPictures(fm_main->skin_pic[10], fm_main->skin_pic[11],
                                    fm_main->skin_pic[12]);
}

bool DiscWindow::shows(const QPixmap &shown, int slot)
{
    return shown.cacheKey() == fm_main->skin_pic[size_t(slot)].cacheKey();
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    paints += event->type() == QEvent::Paint;
    return false;
}

LookupWatch::LookupWatch()
{
    fm_main->installEventFilter(&counter);
    QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
        ++ticks;
        busyTicks += QGuiApplication::overrideCursor()
                     && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        paintsSeen = counter.paints;
        fm_main->update();
    });
    timer.start(100);
}

qint64 LookupWatch::freedbCommand()
{
    QElapsedTimer clock;
    clock.start();
    fm_main->btn_freedbClick();
    const qint64 elapsed = clock.elapsed();
    stop();
    return elapsed;
}

void LookupWatch::stop()
{
    timer.stop();
    fm_main->removeEventFilter(&counter);
}
