#include "gui/main/harvelo_application.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/base/skin_file.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QtTest>

// The main window on a screen scaled to 200 % (QT_SCALE_FACTOR=2, set by the test's
// registration): the same 525 x 380 logical window, painted from the skin's large pictures
// pixel for pixel, or from the standard ones scaled when a skin has no large set.
class TestHiDpi : public QObject {
    Q_OBJECT
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;

    static QString shippedSkin() { return QCoreApplication::applicationDirPath() + QStringLiteral("/skins/skin1.skn"); }

private Q_SLOTS:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }
    void cleanup() { m_window.stop(); }

    void paintsTheLargePictures_data()
    {
        QTest::addColumn<bool>("large");
        QTest::newRow("shipped skin") << true;
        QTest::newRow("skin without large pictures") << false;
    }

    void paintsTheLargePictures()
    {
        QFETCH(bool, large);
        testEnv().clearIni();
        const SkinFile::Result shipped = SkinFile::readFile(shippedSkin());
        QVERIFY(shipped.doubleImages);
        QString skin = shippedSkin();
        if (!large) {
            skin = QDir(testEnv().makeDir(QStringLiteral("older"))).filePath(QStringLiteral("older.skn"));
            QVERIFY(SkinFile::writeFile(skin, shipped.images));
        }
        IniFile ini;
        ini.write(settings::skin, 0);
        ini.write(settings::skinName, skin);
        ini.close();
        m_window.start();

        QCOMPARE(fm_main->size(), QSize(525, 380));
        QCOMPARE(fm_main->btn_play->size(), QSize(50, 50));
        QCOMPARE(fm_main->btn_ripcd->geometry(), QRect(458, 316, 49, 50));
        QCOMPARE(fm_main->skin_pic[0].devicePixelRatio(), large ? 2.0 : 1.0);
        // The title painted by the skin, in device pixels: the large face's own pixels.
        const QImage shown = fm_main->grab(QRect(40, 3, 160, 28)).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(320, 56));
        const QImage face = shipped.doubleImages->at(0).copy(80, 6, 320, 56).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown == face, large);
        const QImage play = fm_main->btn_play->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(play == shipped.doubleImages->at(7).convertToFormat(QImage::Format_RGB32), large);
    }
};

HARVELO_TEST_MAIN(TestHiDpi, HarveloApplication)
#include "tst_hidpi.moc"
