#include "gui/convert/conversion_window.h"
#include "gui/main/forms.h"
#include "gui/services/desktop_notification.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <QWindow>
#include <QtTest>

namespace {

// A Notifications service of our own on the private bus: records what arrives.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Note {
        QString app, icon, summary;
        QVariantMap hints;
    };
    QList<Note> notes;

public Q_SLOTS:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &, const QStringList &, const QVariantMap &hints, int)
    {
        notes.append({app, icon, summary, hints});
        return uint(notes.size());
    }
};

// Another program's window: activating it leaves no window of this program active.
std::unique_ptr<QWindow> g_elsewhere;
QWindow &elsewhere()
{
    if (!g_elsewhere)
        g_elsewhere = std::make_unique<QWindow>();
    return *g_elsewhere;
}

bool goElsewhere()
{
    elsewhere().show();
    elsewhere().requestActivate();
    return QTest::qWaitFor([] { return QGuiApplication::focusWindow() == &elsewhere() && !QApplication::activeWindow(); }, 5000);
}

// Once a conversion window is up, holds its worker while the user goes elsewhere, then lets
// the job go on.
class GoElsewhere : public QObject {
public:
    explicit GoElsewhere(ConversionWindow *window) : m_window(window) { window->installEventFilter(this); }
    ~GoElsewhere() override { m_window->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::WindowActivate)
            return false;
        m_window->skbtn_pauseClick();
        QMetaObject::invokeMethod(this, [this] {
            QVERIFY(goElsewhere());
            m_window->skbtn_pauseClick();
        }, Qt::QueuedConnection);
        return false;
    }

private:
    ConversionWindow *m_window;
};

} // namespace

class TestDesktopNotification : public QObject {
    Q_OBJECT
    QProcess m_bus;
    NotificationServer m_server;
    std::unique_ptr<RipFixture> f;

private Q_SLOTS:
    // The program finds the bus in its environment, as a desktop session gives it.
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("HARVELO_NO_BUS_CHILD"))
            return;
        m_bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
        QVERIFY2(m_bus.waitForStarted(), "dbus-daemon (package dbus) is needed");
        QVERIFY(m_bus.waitForReadyRead(10000));
        const QByteArray address = m_bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QDBusConnection server = QDBusConnection::connectToBus(QString::fromLatin1(address), "server");
        QVERIFY(server.isConnected());
        QVERIFY(server.registerObject(desktopNotification::Path, &m_server, QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(desktopNotification::Service));
        f = std::make_unique<RipFixture>();
    }

    // The main window is active, as when the user starts a job.
    void init()
    {
        if (!fm_main)
            return;
        elsewhere().hide();
        fm_main->show();
        fm_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_main));
        QTRY_VERIFY(fm_main->shown);
    }

    void cleanupTestCase()
    {
        f.reset();
        g_elsewhere.reset();
        m_bus.kill();
        m_bus.waitForFinished();
    }

    // One notification, with the program's name and icon, when a job ends while the user is
    // elsewhere; none while a window of the program is active or with "notify" not "yes".
    void notifiesAtTheEndOfAJob_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("away");
        QTest::addColumn<QString>("notify");
        QTest::addColumn<QString>("summary");
        QTest::newRow("rip, user elsewhere") << "rip" << true << "" << "2 tracks ripped";
        QTest::newRow("rip, window active") << "rip" << false << "" << "";
        QTest::newRow("rip, notify no") << "rip" << true << "no" << "";
        QTest::newRow("rip, a track not written") << "rip, fail" << true << "yes" << "1 of 2 tracks failed";
        QTest::newRow("conversion, user elsewhere") << "decode" << true << "" << "2 files converted";
    }

    void notifiesAtTheEndOfAJob()
    {
        QFETCH(QString, job);
        QFETCH(bool, away);
        QFETCH(QString, notify);
        QFETCH(QString, summary);
        f->prepare({2, 3});
        if (!notify.isEmpty())
            IniFile().write(settings::notify, notify);
        m_server.notes.clear();
        if (job == QLatin1String("decode")) {
            decodeTwoFiles(away);
        } else {
            if (job.endsWith(QLatin1String("fail")))
                QDir().mkpath(f->trackFile(3, ".wav")); // a folder where the file should be
            // At its first step the job waits until the user looks at its window; the user
            // then stays or goes elsewhere.
            bool first = true;
            f->onProgress = [&](int) {
                if (!std::exchange(first, false))
                    return;
                fm_progress->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(fm_progress));
                if (away)
                    QVERIFY(goElsewhere());
            };
            // The user who answered a question about a track goes elsewhere again.
            f->prompter.onAsk = [&](const ScriptedPrompter::Record &) {
                if (away)
                    QVERIFY(goElsewhere());
            };
            f->rip(1);
            f->onProgress = nullptr;
            f->prompter.onAsk = nullptr;
            QTRY_VERIFY(!fm_progress->isVisible());
        }
        // The bus keeps a connection's messages in order: once a marker sent now arrives,
        // whatever the job sent has arrived before it.
        desktopNotification::send(QStringLiteral("marker"));
        QTRY_VERIFY(!m_server.notes.isEmpty() && m_server.notes.last().summary == QLatin1String("marker"));
        m_server.notes.removeLast();
        QCOMPARE(m_server.notes.size(), summary.isEmpty() ? 0 : 1);
        if (summary.isEmpty())
            return;
        QCOMPARE(m_server.notes[0].summary, summary);
        QCOMPARE(m_server.notes[0].app, QStringLiteral("Harvelo"));
        QCOMPARE(m_server.notes[0].icon, QStringLiteral("io.github.harvelo.Harvelo"));
        QCOMPARE(m_server.notes[0].hints.value("desktop-entry").toString(), QStringLiteral("io.github.harvelo.Harvelo"));
    }

    // Without a session bus nothing is sent and nothing is said: the same program in a child
    // process with no bus address.
    void noSessionNoNotification()
    {
        if (qEnvironmentVariableIsSet("HARVELO_NO_BUS_CHILD")) {
            desktopNotification::send(QStringLiteral("nobody hears this"));
            QVERIFY(!QDBusConnection::sessionBus().isConnected());
            return;
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("HARVELO_NO_BUS_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"noSessionNoNotification", "-silent"});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray out = child.readAllStandardOutput() + child.readAllStandardError();
        QVERIFY2(child.exitCode() == 0, out.constData());
        QVERIFY2(!out.contains("WARNING") && !out.contains("QDBus"), out.constData());
    }

private:
    // Decodes (normalizes) two WAV files through the decode window.
    void decodeTwoFiles(bool away)
    {
        const QString dir = testEnv().makeDir(QStringLiteral("wavs"));
        QStringList files;
        for (const char *name : {"a.wav", "b.wav"}) {
            files << QDir(dir).filePath(QLatin1String(name));
            QVERIFY(writeSineWav(files.last(), WavFixture{5.0}));
        }
        std::unique_ptr<GoElsewhere> user;
        if (away)
            user = std::make_unique<GoElsewhere>(fm_decode);
        fm_main->decodeFiles(true, &files);
        QTRY_VERIFY(!fm_decode->jobRunning());
    }
};

HARVELO_TEST_MAIN(TestDesktopNotification, QApplication)
#include "tst_desktop_notification.moc"
