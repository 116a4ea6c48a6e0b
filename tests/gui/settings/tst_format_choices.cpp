#include "gui/convert/fm_encode.h"
#include "gui/rip/fm_progress.h"
#include "gui/settings/more_formats_page.h"
#include "tests/gui/settings/settings_fixture.h"

#include <QMenu>

// The FLAC and Opus settings of the settings dialog, and where the main window says which format
// the WAV and OGG buttons write.
class TestFormatChoices : public QObject {
    Q_OBJECT
    ProgramWindows m_program;

private Q_SLOTS:
    void init() { m_program.start(); }
    void cleanup() { m_program.stop(); }

    // What each page shows of the file, and what OK stores from what the user set.
    void pagesShowAndStoreTheirKeys_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");  // "" for none: the default is shown
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("chosen");  // what the user sets...
        QTest::addColumn<QString>("written"); // ...and what OK writes
        QTest::newRow("level, none") << "flac settings" << "compression level" << "" << "5" << "8" << "8";
        QTest::newRow("level 0") << "flac settings" << "compression level" << "0" << "0" << "3" << "3";
        QTest::newRow("verify, none") << "flac settings" << "verify" << "" << "no" << "yes" << "1";
        QTest::newRow("lossless, none") << "output format" << "lossless format" << "" << "WAV" << "FLAC" << "flac";
        QTest::newRow("lossless FLAC") << "output format" << "lossless format" << "FLAC" << "FLAC" << "WAV" << "wav";
        QTest::newRow("bitrate, none") << "opus settings" << "bitrate" << "" << "160" << "64" << "64";
        QTest::newRow("bitrate mode 2") << "opus settings" << "bitrate mode" << "2" << "Hard CBR" << "Constrained VBR" << "1";
        QTest::newRow("ogg codec, none") << "output format" << "ogg codec" << "" << "Vorbis" << "Opus" << "opus";
        QTest::newRow("replaygain, none") << "output format" << "replaygain" << "" << "None" << "Track and album" << "album";
        QTest::newRow("replaygain track") << "output format" << "replaygain" << "track" << "Track" << "None" << "no";
    }
    void pagesShowAndStoreTheirKeys()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        if (!stored.isEmpty())
            IniFile().writeString(section, key, stored);
        QVERIFY(openSettings());
        QWidget *control = controlOf(key);
        QVERIFY(control);
        QCOMPARE(textOf(control), shown);
        setText(control, chosen);
        fm_setting->skbtn_ok->click();
        QCOMPARE(IniFile().readString(section, key, QStringLiteral("<absent>")), written);
    }

    // The rip button names the format a rip writes; the WAV and OGG buttons the one they stand
    // for; the rip window's caption names FLAC and Opus, which the buttons' faces do not.
    void buttonsAndCaptionNameTheFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("lossless");
        QTest::addColumn<QString>("oggCodec");
        QTest::addColumn<QString>("ripTip");
        QTest::addColumn<QString>("caption");
        QTest::newRow("MP3") << 0 << "flac" << "opus" << "Rip CD to MP3" << "        Harvelo";
        QTest::newRow("WAV") << 1 << "wav" << "opus" << "Rip CD to WAV" << "        Harvelo";
        QTest::newRow("WAV writing FLAC") << 1 << "flac" << "vorbis" << "Rip CD to FLAC" << "        Harvelo - FLAC";
        QTest::newRow("OGG") << 3 << "flac" << "vorbis" << "Rip CD to OGG Vorbis" << "        Harvelo";
        QTest::newRow("OGG writing Opus") << 3 << "wav" << "opus" << "Rip CD to Opus" << "        Harvelo - Opus";
    }
    void buttonsAndCaptionNameTheFormat()
    {
        QFETCH(int, format);
        QFETCH(QString, lossless);
        QFETCH(QString, oggCodec);
        QFETCH(QString, ripTip);
        QFETCH(QString, caption);
        IniFile().write(settings::losslessFormat, lossless);
        IniFile().write(settings::oggCodec, oggCodec);
        fm_main->formatButtonClick(format);
        QCOMPARE(fm_main->btn_ripcd->toolTip(), ripTip);
        QCOMPARE(fm_main->btn_wav->toolTip(), lossless == QLatin1String("flac") ? QStringLiteral("FLAC") : QStringLiteral("WAV"));
        QCOMPARE(fm_main->btn_ogg->toolTip(), oggCodec == QLatin1String("opus") ? QStringLiteral("Opus") : QStringLiteral("OGG Vorbis"));
        fm_progress->showFormat();
        QCOMPARE(fm_progress->windowTitle(), caption);
    }

    // The Encode menu keeps its items and gains FLAC and Opus after them.
    void encodeMenuGainsFlacAndOpus()
    {
        QMenu *encode = nullptr;
        for (QAction *action : fm_main->pm_action->actions())
            if (action->menu() && action->text() == QStringLiteral("&Encode"))
                encode = action->menu();
        QVERIFY(encode);
        QStringList items;
        for (QAction *action : encode->actions())
            items << action->text();
        QCOMPARE(items, QStringList({"WAV to &MP3", "WAV to &WMA", "WAV to &OGG", "WAV to &FLAC", "WAV to O&pus"}));
    }

private:
    static QWidget *controlOf(const QString &key)
    {
        MoreFormatsPage *flac = fm_setting->Panel7;
        MoreFormatsPage *opus = fm_setting->Panel7;
        const QMap<QString, QWidget *> controls{
            {"compression level", flac->ud_flaclevel}, {"verify", flac->skcb_flacverify},
            {"lossless format", flac->skcb_losslessformat}, {"bitrate", opus->ud_opusbitrate},
            {"bitrate mode", opus->skcb_opusbitratemode}, {"ogg codec", opus->skcb_oggcodec},
            {"replaygain", opus->skcb_replaygain}};
        return controls.value(key);
    }
    static QString textOf(QWidget *control)
    {
        if (auto *box = qobject_cast<QAbstractButton *>(control))
            return box->isChecked() ? QStringLiteral("yes") : QStringLiteral("no");
        if (auto *list = qobject_cast<QComboBox *>(control))
            return list->currentText();
        return qobject_cast<QSpinBox *>(control)->text();
    }
    static void setText(QWidget *control, const QString &text)
    {
        if (auto *box = qobject_cast<QAbstractButton *>(control))
            box->setChecked(text == QLatin1String("yes"));
        else if (auto *list = qobject_cast<QComboBox *>(control))
            pick(list, list->findText(text));
        else
            retype(control, text);
    }
};

HARVELO_TEST_MAIN(TestFormatChoices, QApplication)
#include "tst_format_choices.moc"
