#include "gui/main/harvelo_application.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QtTest>

// On a real X server: the window manager and the task bar read the program's icon from the
// window's _NET_WM_ICON property, at the sizes the skin maker draws (Qt hands the X server
// those up to 128 pixels).
class TestWindowIcon : public QObject {
    Q_OBJECT
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;

private Q_SLOTS:
    void cleanup() { m_window.stop(); }

    void windowsCarryTheIcon()
    {
        m_window.start();
        fm_setting->show();
        QVERIFY(QTest::qWaitForWindowExposed(fm_setting));
        for (QWidget *window : {static_cast<QWidget *>(fm_main), static_cast<QWidget *>(fm_setting)}) {
            const ProcessResult r = runProgram(QStringLiteral("xprop"),
                                               {"-id", QString::number(window->winId()), "_NET_WM_ICON"});
            QCOMPARE(r.status, 0);
            const QString text = QString::fromUtf8(r.out);
            QVERIFY2(text.startsWith(QLatin1String("_NET_WM_ICON(CARDINAL)")), qPrintable(text.left(200)));
            for (int side : {16, 32, 48, 64, 128})
                QVERIFY2(text.contains(QStringLiteral("Icon (%1 x %1)").arg(side)), qPrintable(QString::number(side)));
        }
        fm_setting->hide();
    }
};

HARVELO_TEST_MAIN(TestWindowIcon, HarveloApplication)
#include "tst_window_icon.moc"
