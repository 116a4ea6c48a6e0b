#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/sk_title_bar.h"
#include "tests/convert/job_harness.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

namespace {

struct VorbisBitrates {
    qint32 maximum = 0, nominal = 0, minimum = 0;
};

// The three bit rates of a Vorbis identification header, which opens the first Ogg page.
VorbisBitrates vorbisBitrates(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = f.read(4096);
    if (page.size() < 28 || !page.startsWith("OggS"))
        return {};
    const QByteArray packet = page.mid(27 + quint8(page[26]));
    if (packet.size() < 28 || !packet.startsWith("\x01vorbis"))
        return {};
    const auto at = [&packet](int offset) { return qFromLittleEndian<qint32>(packet.constData() + offset); };
    return {at(16), at(20), at(24)};
}

QStringList labelTexts(QWidget *window)
{
    QStringList texts;
    for (const QLabel *l : window->findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

} // namespace

class TestConversionCommands : public JobTestCase {
    Q_OBJECT

private:
    QString wav(const QString &name)
    {
        const QString path = inPath(name);
        return writeSineWav(path) ? path : QString();
    }

private Q_SLOTS:

    // Audio files dropped on the main window open the window the Action menu's command would
    // open after its dialog, with those files: WAV files the encode window in the selected
    // format (MP3 while WAV is selected), the others the decode window. Anything else is left
    // without a word.
    void droppedFilesOpenTheirWindow_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("encodeTitle");
        QTest::addColumn<QStringList>("encoded");
        QTest::addColumn<QStringList>("decoded");
        const QStringList wav{"a.wav"}, none;
        QTest::newRow("wav, MP3 selected") << wav << 0 << "Encode to MP3..." << wav << none;
        QTest::newRow("wav, WAV selected") << wav << 1 << "Encode to MP3..." << wav << none;
        QTest::newRow("wav, WMA selected") << wav << 2 << "Encode to WMA..." << wav << none;
        QTest::newRow("wav, OGG selected") << wav << 3 << "Encode to OGG..." << wav << none;
        QTest::newRow("mp3 and ogg") << QStringList{"b.mp3", "c.ogg"} << 0 << "" << none
                                     << QStringList{"b.mp3", "c.ogg"};
        QTest::newRow("mixed, others left") << QStringList{"notes.txt", "b.mp3", "a.wav", "missing.wav"} << 0
                                            << "Encode to MP3..." << wav << QStringList{"b.mp3"};
        QTest::newRow("no audio") << QStringList{"notes.txt", "missing.mp3"} << 0 << "" << none << none;
    }

    void droppedFilesOpenTheirWindow()
    {
        QFETCH(QStringList, names);
        QFETCH(int, format);
        QFETCH(QString, encodeTitle);
        QFETCH(QStringList, encoded);
        QFETCH(QStringList, decoded);
        QList<QUrl> urls;
        for (const QString &name : names) {
            const QString path = inPath(name);
            if (name.endsWith(QLatin1String(".wav")) && !name.startsWith(QLatin1String("missing")))
                QVERIFY(writeSineWav(path));
            else if (name == QLatin1String("notes.txt"))
                QVERIFY(writeFileBytes(path, "not audio"));
            else if (!name.startsWith(QLatin1String("missing")))
                QVERIFY(makeEncodedFixture(path, 0.5));
            urls << QUrl::fromLocalFile(path);
        }
        auto inputs = [this](const QStringList &list) {
            QStringList paths;
            for (const QString &name : list)
                paths << inPath(name);
            return paths;
        };
        fm_main->formatButtonClick(format);
        QStringList givenToEncode, givenToDecode;
        h->encodeWatch->whileShown = [&] { givenToEncode = fm_main->OpenDialog; };
        h->decodeWatch->whileShown = [&] { givenToDecode = fm_main->OpenDialog; };

        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(260, 200), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(fm_main, &enter);
        QCOMPARE(enter.isAccepted(), !encoded.isEmpty() || !decoded.isEmpty());
        QDropEvent drop(QPointF(260, 200), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(fm_main, &drop);
        const int windows = (encoded.isEmpty() ? 0 : 1) + (decoded.isEmpty() ? 0 : 1);
        // The windows open after the drop has ended, one after the other.
        QTRY_COMPARE(h->encodeWatch->shows + h->decodeWatch->shows, windows);
        QTRY_VERIFY(!fm_encode->jobRunning() && !fm_decode->jobRunning());
        QCoreApplication::processEvents();
        QCOMPARE(h->encodeWatch->shows + h->decodeWatch->shows, windows);
        QCOMPARE(h->encodeWatch->title, encodeTitle);
        QCOMPARE(givenToEncode, inputs(encoded));
        QCOMPARE(h->decodeWatch->title, decoded.isEmpty() ? QString() : QStringLiteral("Decode to WAV..."));
        QCOMPARE(givenToDecode, inputs(decoded));
        QVERIFY(h->prompter.fileDialogs.isEmpty());
        QVERIFY(h->prompter.boxes.isEmpty());
    }

    void cancelledDialogOpensNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("patterns");
        const QString wavFilter("WAV File(*.wav)");
        const QStringList wav{"*.wav"};
        QTest::newRow("mp3") << "WAV to &MP3" << "Choose WAV files to encode to MP3" << wavFilter << wav;
        QTest::newRow("wma") << "WAV to &WMA" << "Choose WAV files to encode to WMA" << wavFilter << wav;
        QTest::newRow("ogg") << "WAV to &OGG" << "Choose WAV files to encode to OGG" << wavFilter << wav;
        QTest::newRow("decode") << "&Decode to WAV" << "Choose MP3, WMA or OGG files to decode to WAV"
                                << "(*.mp3,*.wma,*.ogg)" << QStringList{"*.mp3", "*.wma", "*.ogg"};
        QTest::newRow("normalize") << "&WAV Normalize" << "Choose WAV files to normalize" << wavFilter << wav;
    }

    // The dialog shows the filter's own words once, filters by its patterns and says what it is for.
    void cancelledDialogOpensNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QStringList, patterns);
        fm_main->OpenDialog = QStringList{"/earlier/choice.wav"};
        QVERIFY(h->run(command));
        QCOMPARE(h->prompter.fileDialogs.size(), 1);
        QCOMPARE(h->prompter.fileDialogs.first().filter, filter);
        QCOMPARE(h->prompter.fileDialogs.first().patterns, patterns);
        QCOMPARE(h->prompter.fileDialogs.first().title, title);
        QVERIFY(h->prompter.fileDialogs.first().multiSelect);
        QVERIFY(fm_main->OpenDialog.isEmpty());
        QCOMPARE(h->encodeWatch->shows + h->decodeWatch->shows, 0);
        QVERIFY(h->prompter.boxes.isEmpty());
        QVERIFY(h->desktop.openedFolders.isEmpty());
    }

    void refusedSettingsStopBeforeTheDialog_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("mp3 at 8 kbit/s and 44100 Hz")
            << "WAV to &MP3" << "mp3 settings" << "bitrate" << 8
            << "This MP3 format is not supported,please change your MP3 settings!";
        QTest::newRow("mp3 at 7 Hz")
            << "WAV to &MP3" << "mp3 settings" << "frequency" << 7
            << "This MP3 format is not supported,please change your MP3 settings!";
        QTest::newRow("ogg at 1000 kbit/s")
            << "WAV to &OGG" << "ogg settings" << "bitrate" << 1000
            << "This Ogg format is not supported,please change your ogg settings!";
    }

    void refusedSettingsStopBeforeTheDialog()
    {
        QFETCH(QString, command);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, value);
        QFETCH(QString, message);
        IniFile().writeInteger(section, key, value);
        h->prompter.fileSelections.enqueue({wav("take.wav")});
        QVERIFY(h->run(command));
        QCOMPARE(h->prompter.texts(), QStringList{message});
        QCOMPARE(h->prompter.boxes.first().kind, Prompter::Kind::Information);
        QCOMPARE(h->prompter.boxes.first().buttons, Prompter::Buttons::Ok);
        QVERIFY(h->prompter.fileDialogs.isEmpty());
        QCOMPARE(h->encodeWatch->shows, 0);
    }

    // WMA has no support check: an unknown profile shows up as a target that cannot be made.
    void wmaIsNeverChecked()
    {
        IniFile().write(settings::wmaFormat, 999);
        h->prompter.fileSelections.enqueue({wav("take.wav")});
        QVERIFY(h->run("WAV to &WMA"));
        QCOMPARE(h->encodeWatch->shows, 1);
        QCOMPARE(h->prompter.texts(), QStringList{"take.wma is not a valid file!"});
    }

    void oggBitrateBounds_data()
    {
        QTest::addColumn<int>("vbr");
        QTest::addColumn<qint32>("minimum");
        QTest::addColumn<qint32>("maximum");
        QTest::newRow("without vbr the bounds are not handed on") << 0 << 0 << 0;
        QTest::newRow("with vbr they are") << 1 << 96000 << 160000;
    }

    void oggBitrateBounds()
    {
        QFETCH(int, vbr);
        QFETCH(qint32, minimum);
        QFETCH(qint32, maximum);
        IniFile ini;
        ini.write(settings::oggVbrEnabled, vbr);
        ini.write(settings::oggMinBitrate, 96);
        ini.write(settings::oggMaxBitrate, 160);
        h->prompter.fileSelections.enqueue({wav("take.wav")});
        QVERIFY(h->run("WAV to &OGG"));
        QVERIFY(h->prompter.boxes.isEmpty());
        const VorbisBitrates b = vorbisBitrates(QDir(out).filePath("take.ogg"));
        QCOMPARE(b.nominal, 128000);
        // An unset bound is stored as 0 or -1.
        QCOMPARE(qMax(b.minimum, 0), minimum);
        QCOMPARE(qMax(b.maximum, 0), maximum);
    }

    void windowLayouts_data()
    {
        QTest::addColumn<bool>("encode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<bool>("progressLast");
        const QStringList common{"Selected file count:", "file count", "Current file number:",
                                 "file num", "File name:", "File size:", "size"};
        QTest::newRow("encode") << true << "Encode to"
                                << common + QStringList{"track name", "Encoded:", "encode"} << false;
        QTest::newRow("decode") << false << "Decode"
                                << common + QStringList{"file name", "Disk writed:", "decode"} << true;
    }

    void windowLayouts()
    {
        QFETCH(bool, encode);
        QFETCH(QString, title);
        QFETCH(QStringList, labels);
        QFETCH(bool, progressLast);
        // Fresh windows, as created at start.
        std::unique_ptr<ConversionWindow> w;
        if (encode)
            w = std::make_unique<Tfm_encode>();
        else
            w = std::make_unique<Tfm_decode>();
        const auto *form = w->findChild<TskForm *>();
        QVERIFY(form);
        QCOMPARE(form->titleBar()->caption(), title);
        QCOMPARE(w->size(), QSize(272, 232).grownBy(form->contentsMargins()));
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        QStringList shown = labelTexts(w.get());
        shown.sort();
        labels.sort();
        QCOMPARE(shown, labels);
        QCOMPARE(w->findChild<QGroupBox *>()->title(), QString("Current File"));
        QCOMPARE(w->skbtn_pause->text(), QString("&Pause"));
        QCOMPARE(w->skbtn_abort->text(), QString("&Stop"));
        QCOMPARE(w->skpb_progress->y() > w->skbtn_pause->y(), progressLast);
    }

    void anEmptyListClosesAtOnce()
    {
        fm_main->OpenDialog.clear();
        fm_encode->encodeformat = 0;
        fm_encode->exec();
        QTRY_VERIFY(!fm_encode->jobRunning());
        QCOMPARE(h->encodeWatch->shows, 1);
        QCOMPARE(fm_encode->lbl_filecount->text(), QString("0"));
        QCOMPARE(h->desktop.openedFolders, QStringList{out});
        QVERIFY(h->prompter.boxes.isEmpty());
    }

    // The shared dialog opens in the user's music folder at first, then where the user last
    // chose files; a cancelled dialog changes nothing.
    void dialogOpensInTheFolderLastUsed()
    {
        fm_main->openDialogDir.clear();
        const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        QVERIFY(!music.isEmpty());
        choose({wav("take.wav")});
        QVERIFY(h->run("&WAV Normalize"));
        QVERIFY(h->run("&Decode to WAV")); // cancelled
        QVERIFY(h->run("WAV to &MP3"));
        QStringList opened;
        for (const Prompter::FileDialog &d : h->prompter.fileDialogs)
            opened << d.directory;
        QCOMPARE(opened, (QStringList{music, in, in}));
    }

    void anOutputDirectoryNotUtf8IsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("encode") << "WAV to &OGG";
        QTest::newRow("decode") << "&Decode to WAV";
        QTest::newRow("normalize") << "&WAV Normalize";
    }
    // A stored folder name with a byte that is not UTF-8 must not become a look-alike folder.
    void anOutputDirectoryNotUtf8IsRefused()
    {
        QFETCH(QString, command);
        IniFile().write(settings::outputDirectory, QDir(out).filePath("caf@"));
        QByteArray ini = fileBytes(testEnv().iniPath());
        QVERIFY(writeFileBytes(testEnv().iniPath(), ini.replace("caf@", "caf\xe9")));
        h->prompter.fileSelections.enqueue({wav("take.wav")});
        QVERIFY(h->run(command));
        QCOMPARE(h->prompter.texts(), QStringList{"The \"output directory\" of " + testEnv().iniPath()
                                                  + " is not UTF-8 text: choose it again in the settings."});
        QCOMPARE(h->encodeWatch->shows + h->decodeWatch->shows, 0);
        QVERIFY(h->prompter.fileDialogs.isEmpty());
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void theOutputDirectoryIsMadeOnShow()
    {
        const QString fresh = QDir(out).filePath("new level");
        IniFile().write(settings::outputDirectory, fresh);
        h->prompter.fileSelections.enqueue({wav("take.wav")});
        QVERIFY(h->run("&WAV Normalize"));
        QVERIFY(QFile::exists(QDir(fresh).filePath("take_NOM.wav")));
        QCOMPARE(h->desktop.openedFolders, QStringList{fresh});
    }
};

HARVELO_TEST_MAIN(TestConversionCommands, QApplication)
#include "tst_conversion_commands.moc"
