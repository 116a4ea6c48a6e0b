#include "disc/disc_codes.h"
#include "gui/main/harvelo_application.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/musicbrainz_fixture.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QtTest>
#include <functional>
#include <memory>

// The FreeDB command with MusicBrainz: the names of the release, the chooser when several
// releases hold the disc, and servers that fail.
namespace {

using Behaviour = CddbTestServer::Behaviour;

// Runs `act` once, on the chooser, as soon as it shows.
class ChooserHand : public QObject {
public:
    explicit ChooserHand(std::function<void()> act) : m_act(std::move(act))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (!fm_release->isVisible())
                return;
            m_timer.stop();
            shown = true;
            m_act();
        });
        m_timer.start(20);
    }
    bool shown = false;

private:
    std::function<void()> m_act;
    QTimer m_timer;
};

} // namespace

class TestReleaseLookup : public QObject {
    Q_OBJECT

    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;
    std::unique_ptr<CddbTestServer> m_server;
    QString m_discId;
    MbRelease m_hits{"hits", "Hits", "Various Artists", "2003-05-01", "GB", "5012345678900"};
    MbRelease m_reissue{"reissue", "Hits (reissue)", "Various Artists", "2010", "US", "5012345678917"};

    void pointAt(int timeoutMs)
    {
        IniFile ini;
        ini.write(settings::musicBrainzServer, m_server->address());
        ini.write(settings::coverArtServer, m_server->address());
        ini.write(settings::cddbServer, m_server->address());
        ini.write(settings::cddbTimeout, timeoutMs);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
        m_server = std::make_unique<CddbTestServer>();
        DiscWindow::insertDisc({{cdFramesForMs(2000), "One"}, {cdFramesForMs(2000), "Two"},
                                {cdFramesForMs(2000), "Three"}});
        m_window.start();
        m_discId = musicBrainzDiscId(fm_main->AudioGrabber.toc());
        const QList<MbTrack> tracks{{"Song", 2000, "Alice"}, {"Tune", 2000, "Bob & Carol"}, {"Air", 2000, "Dave"}};
        m_hits.media = {MbMedium{tracks, {m_discId}}};
        m_reissue.media = {MbMedium{tracks, {m_discId}}};
        pointAt(5000);
    }
    void cleanup()
    {
        m_window.stop();
        m_server.reset();
    }

    void namesOfTheRelease()
    {
        m_server->setFile(QStringLiteral("/ws/2/discid/") + m_discId, mbDiscReply(m_discId, {}, 0, {m_hits}));
        QTest::mouseClick(fm_main->btn_freedb, Qt::LeftButton);
        QVERIFY2(m_prompter.boxes.isEmpty(), qPrintable(m_prompter.texts().join('|')));
        QCOMPARE(fm_main->skedt_artist->text(), QString("Various Artists"));
        QCOMPARE(fm_main->skedt_album->text(), QString("Hits"));
        QCOMPARE(DiscWindow::column(1), (QStringList{"Alice / Song", "Bob & Carol / Tune", "Dave / Air"}));
        QCOMPARE(DiscWindow::tickedRows(), 3);
        QVERIFY(!fm_release->isVisible());
    }

    void ripAfterTheLookup_data()
    {
        QTest::addColumn<int>("answer"); // to the question over a cover.jpg holding another picture
        QTest::addColumn<bool>("replaced");
        QTest::newRow("No keeps the user's picture") << int(Prompter::Answer::No) << false;
        QTest::newRow("Yes replaces it") << int(Prompter::Answer::Yes) << true;
    }
    // A rip from the window after the lookup: each file carries its track's artist, the release's
    // artist and IDs and the cover; cover.jpg lies beside the tracks, and one already there with
    // another picture is replaced only after the question.
    void ripAfterTheLookup()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QByteArray cover = coverJpeg(120, 120);
        m_server->setFile(QStringLiteral("/ws/2/discid/") + m_discId, mbDiscReply(m_discId, {}, 0, {m_hits}));
        m_server->setFile(QStringLiteral("/release/%1/front-500").arg(m_hits.id()), cover);
        const QString out = testEnv().makeDir(QStringLiteral("rip%1").arg(answer));
        IniFile ini;
        ini.write(settings::outputDirectory, out);
        ini.write(settings::filenameFormat, 4); // <out>/<artist>/<row>-<title>
        ini.write(settings::writeLog, QStringLiteral("no"));
        ini.write(settings::accurateRipServer, QStringLiteral("127.0.0.1:9"));
        ini.close();
        QTest::mouseClick(fm_main->btn_freedb, Qt::LeftButton);
        const QString folder = out + QStringLiteral("/Various Artists");
        QVERIFY(QDir().mkpath(folder));
        writeFileBytes(folder + QStringLiteral("/cover.jpg"), "the user's own picture");
        m_prompter.answers.enqueue(Prompter::Answer(answer));
        fm_main->btn_mp3->click();
        fm_main->btn_ripcd->click();
        QCOMPARE(m_prompter.texts(), QStringList{folder + QStringLiteral("/cover.jpg is already exist.Overwrite?")});
        QCOMPARE(fileBytes(folder + QStringLiteral("/cover.jpg")), replaced ? cover : QByteArray("the user's own picture"));
        const QStringList titles{"Song", "Tune", "Air"}, artists{"Alice", "Bob & Carol", "Dave"};
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QString file = folder + QLatin1Char('/') + files[i];
            const QMap<QString, QString> tags = mutagenTags(file);
            QVERIFY2(!tags.isEmpty(), qPrintable(file));
            QCOMPARE(tags.value("TIT2"), titles[i]);
            QCOMPARE(tags.value("TPE1"), artists[i]);
            QCOMPARE(tags.value("TPE2"), QString("Various Artists"));
            QCOMPARE(tags.value("TRCK"), QStringLiteral("%1/3").arg(i + 1));
            QCOMPARE(tags.value("TYER"), QString("2003"));
            QCOMPARE(tags.value("TXXX:MusicBrainz Album Id"), m_hits.id());
            QCOMPARE(tags.value("UFID:http://musicbrainz.org"), m_hits.recordingId(0, i));
            QCOMPARE(tags.value("APIC"), frontCoverText(QStringLiteral("image/jpeg"), cover));
        }
    }

    void chooser_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("album");
        QTest::newRow("Ok on the other") << "ok" << "Hits (reissue)";
        QTest::newRow("a double click on the other") << "double" << "Hits (reissue)";
        QTest::newRow("Cancel") << "cancel" << "Hits";
        QTest::newRow("closed") << "close" << "Hits";
    }
    // Two releases: the chooser lists both with the earlier one (the automatic choice) selected.
    void chooser()
    {
        QFETCH(QString, action);
        m_server->setFile(QStringLiteral("/ws/2/discid/") + m_discId, mbDiscReply(m_discId, {}, 0, {m_reissue, m_hits}));
        QStringList rows;
        QString selected;
        ChooserHand hand([&] {
            TskListView *list = fm_release->sklv_releases;
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                QStringList texts;
                for (int c = 0; c < list->columnCount(); ++c)
                    texts << list->topLevelItem(i)->text(c);
                rows << texts.join('|');
            }
            selected = list->currentItem()->text(0);
            QTreeWidgetItem *other = list->topLevelItem(0);
            if (action == "ok") {
                list->setCurrentItem(other);
                fm_release->skbtn_ok->click();
            } else if (action == "double") {
                emit list->itemDoubleClicked(other, 0);
            } else if (action == "cancel") {
                list->setCurrentItem(other);
                fm_release->skbtn_cancel->click();
            } else {
                fm_release->close();
            }
        });
        fm_main->btn_freedbClick();
        QVERIFY(hand.shown);
        QCOMPARE(rows, (QStringList{"Hits (reissue)|Various Artists|2010|US|CD|5012345678917",
                                    "Hits|Various Artists|2003-05-01|GB|CD|5012345678900"}));
        QCOMPARE(selected, QString("Hits"));
        QTEST(fm_main->skedt_album->text(), "album");
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void hostileServer_data()
    {
        QTest::addColumn<int>("musicBrainz");
        QTest::addColumn<int>("cddb");
        QTest::addColumn<int>("withinMs");
        QTest::newRow("silent MusicBrainz") << int(Behaviour::NeverAnswer) << int(Behaviour::Answer) << 2000 + 1000;
        QTest::newRow("256 MB from MusicBrainz") << int(Behaviour::Flood) << int(Behaviour::Answer) << 2000 + 1000;
        QTest::newRow("MusicBrainz one byte a second") << int(Behaviour::Drip) << int(Behaviour::Answer) << 2000 + 1000;
        // Each source has the time-out.
        QTest::newRow("both silent") << int(Behaviour::NeverAnswer) << int(Behaviour::NeverAnswer) << 2 * 2000 + 1000;
    }
    // A hostile or silent server ends in the message within the time-out, the window painting
    // meanwhile, and the typed names stay.
    void hostileServer()
    {
        QFETCH(int, musicBrainz);
        QFETCH(int, cddb);
        QFETCH(int, withinMs);
        m_server->setFile(QStringLiteral("/ws/2/discid/") + m_discId, mbDiscReply(m_discId, {}, 0, {m_hits}));
        m_server->setBehaviourFor(QStringLiteral("/ws/2/"), Behaviour(musicBrainz));
        m_server->setBehaviour(Behaviour(cddb));
        m_server->setQueryReply(CddbTestServer::noMatch());
        pointAt(2000);
        fm_main->skedt_artist->setText("Typed Artist");
        LookupWatch watch;
        const qint64 elapsed = watch.freedbCommand();
        QVERIFY2(elapsed < withinMs, qPrintable(QString::number(elapsed)));
        QCOMPARE(m_prompter.texts(), QStringList{"Could not find freedb info!"});
        QCOMPARE(fm_main->skedt_artist->text(), QString("Typed Artist"));
        QVERIFY2(watch.ticks >= elapsed / 200, qPrintable(QString::number(watch.ticks)));
        QVERIFY(watch.paintsSeen >= 2);
    }
};

HARVELO_TEST_MAIN(TestReleaseLookup, HarveloApplication)
#include "tst_release_lookup.moc"
