#include "tests/gui/settings/settings_fixture.h"

#include "gui/settings/setting_widgets.h"

#include <QTimer>
#include <functional>
#include <vector>

namespace {

QString checkedCaption(const RadioGroup *group)
{
    return group->checkedButton() ? group->checkedButton()->text() : QString();
}

QString yesNo(const QAbstractButton *box)
{
    return box->isChecked() ? QStringLiteral("yes") : QStringLiteral("no");
}

// One key: what the file holds, how the dialog shows it.
struct KeyView {
    const char *section;
    const char *key;
    std::function<QString()> shown;
};

std::vector<KeyView> keyViews()
{
    using namespace settings;
    Tfm_setting *s = fm_setting;
    auto text = [](QComboBox *list) { return [list] { return list->currentText(); }; };
    auto spin = [](QSpinBox *field) { return [field] { return field->text(); }; };
    std::vector<KeyView> views{
        {kCdSettings, "cd unit",
         [s] { return QString::number(s->Panel2->skcb_cdromunit->currentIndex()); }},
        {kCdSettings, "cd type", text(s->Panel2->skcb_cdromtype)},
        {kCdSettings, "grab mode", [s] { return checkedCaption(s->Panel2->grabModeGroup); }},
        {kCdSettings, "error retry", spin(s->Panel2->ud_retry)},
        {kCdSettings, "error action", [s] { return checkedCaption(s->Panel2->errorActionGroup); }},
        {kCdSettings, "drive speed", spin(s->Panel2->ud_speed)},
        {kCdSettings, "read offset", spin(s->Panel2->ud_offset)},
        {kMp3Settings, "frequency", text(s->Panel4->skcb_mp3frequency)},
        {kMp3Settings, "channel", text(s->Panel4->skcb_mp3channel)},
        {kMp3Settings, "bitrate", text(s->Panel4->skcb_mp3bitrate)},
        {kMp3Settings, "vbr bitrate", text(s->Panel4->skcb_mp3vbrbitrate)},
        {kMp3Settings, "vbr quality", spin(s->Panel4->ud_mp3vbrquality)},
        {kWmaSettings, "wma format", text(s->Panel5->skcb_wmasetting)},
        {kOggSettings, "frequency", text(s->Panel6->skcb_oggfrequency)},
        {kOggSettings, "channel", text(s->Panel6->skcb_oggchannel)},
        {kOggSettings, "bitrate", text(s->Panel6->skcb_oggbitrate)},
        {kOggSettings, "vbr enabled", [s] { return yesNo(s->Panel6->skcb_oggvbrenabled); }},
        {kOggSettings, "min bitrate", text(s->Panel6->skcb_oggvbrminbitrate)},
        {kOggSettings, "max bitrate", text(s->Panel6->skcb_oggvbrmaxbitrate)},
        {kOggSettings, "quality enabled", [s] { return yesNo(s->Panel6->skcb_oggqualityenabled); }},
        {kOggSettings, "quality", spin(s->Panel6->ud_oggquality)},
        {kCddb, "cd source", [s] { return checkedCaption(s->Panel1->sourceGroup); }},
        {kCddb, "timeout", spin(s->Panel1->ud_timeout)},
        {kCddb, "cddb server", [s] { return s->Panel1->skedt_cddbserver->text(); }},
        {kCddb, "cgi script", [s] { return s->Panel1->skedt_cgiscript->text(); }},
        {kOutputFormat, "output type", text(s->Panel3->skcd_outpputformat)},
        {kOutputFormat, "normalize", [s] { return yesNo(s->Panel3->skcb_normalize); }},
        {kOutputFormat, "normalzie Ratio", spin(s->Panel3->ud_normalize)},
        {kOutputFormat, "filename format", text(s->Panel3->skcb_filenameformat)},
        {kOutputFormat, "output directory", [s] { return s->Panel3->skedt_outputdir->text(); }},
    };
    for (int i = 0; i < 9; ++i) {
        TskEdit *edit = s->Panel3->skedt_replace[i];
        views.push_back({kOutputFormat, replacements[i].key.key, [edit] { return edit->text(); }});
    }
    return views;
}

// Stored value and shown text for every key, in keyViews() order.
using Values = QList<QPair<QString, QString>>;

Values firstValues()
{
    return {{"1", "1"}, {"2", "SCSI"}, {"3", "Secure Mode (Double Precision Error Correction)"},
            {"7", "7"}, {"0", "Stop"}, {"16", "16"}, {"-667", "-667"},
            {"48000", "48000hz"}, {"1", "Mono"}, {"320", "320kb"}, {"64", "64kb"}, {"2", "2"},
            {"31", "48000Hz;16 Bit;Stereo;160kbps"},
            {"48000", "48000Hz"}, {"1", "Mono"}, {"160", "160kb"}, {"1", "yes"}, {"96", "96kb"},
            {"256", "256kb"}, {"1", "yes"}, {"750", "750"},
            {"1", "Get CDDB info from On-Line Data Base"}, {"12345", "12,345"},
            {"cddb.example.org", "cddb.example.org"}, {"/cgi/cddb", "/cgi/cddb"},
            {"3", "OGG files (*.OGG)"}, {"no", "no"}, {"55", "55"},
            {"5", "<artist>/<album>/<title>"}, {"/tmp/first dir", "/tmp/first dir"},
            {"_", "_"}, {"-", "-"}, {"+", "+"}, {"~", "~"}, {"'", "'"}, {"_", "_"}, {"-", "-"},
            {"[", "["}, {"]", "]"}};
}

Values secondValues()
{
    return {{"0", "0"}, {"3", "SCSI(old)"},
            {"4", "Paranoid Mode (Small Blocks Read, drive cache disable)"},
            {"100", "100"}, {"3", "Correct"}, {"0", "0"}, {"3000", "3,000"},
            {"32000", "32000hz"}, {"2", "Stereo"}, {"8", "8kb"}, {"320", "320kb"}, {"9", "9"},
            {"1", "8000Hz;16Bit;Mono;5kbps"},
            {"32000", "32000Hz"}, {"2", "Stereo"}, {"320", "320kb"}, {"0", "no"}, {"48", "48kb"},
            {"320", "320kb"}, {"0", "no"}, {"0", "0"},
            {"2", "Use only cdplayer.ini"}, {"30000", "30,000"},
            {"localhost:8880", "localhost:8880"}, {"/~cddb/cddb.cgi", "/~cddb/cddb.cgi"},
            {"1", "WAV files (*.WAV)"}, {"yes", "yes"}, {"0", "0"},
            {"6", "<artist>/<album>/<number>-<title>"}, {QString::fromUtf8("/tmp/Ünï cödé"),
                                                         QString::fromUtf8("/tmp/Ünï cödé")},
            {"", ""}, {"&", "&"}, {"#", "#"}, {"=", "="}, {"", ""}, {"#", "#"}, {"#", "#"},
            {"(", "("}, {")", ")"}};
}

void setShown(Values &values, const char *section, const char *key, const char *shown)
{
    const auto views = keyViews();
    for (std::size_t i = 0; i < views.size(); ++i)
        if (qstrcmp(views[i].section, section) == 0 && qstrcmp(views[i].key, key) == 0)
            values[int(i)].second = QString::fromUtf8(shown);
}

// What the dialog shows with no settings file: the one default of every key.
Values defaultsShown()
{
    return {{"", "0"}, {"", "Auto"}, {"", "Burst mode"}, {"", "5"}, {"", "Cut"}, {"", "32"}, {"", "0"},
            {"", "44100hz"}, {"", "Stereo"}, {"", "128kb"}, {"", "128kb"}, {"", "5"},
            {"", "44100Hz;16Bit;Stereo;128kbps"},
            {"", "44100Hz"}, {"", "Stereo"}, {"", "128kb"}, {"", "no"}, {"", "128kb"},
            {"", "128kb"}, {"", "no"}, {"", "300"},
            {"", ""}, {"", "7,000"},
            {"", settings::defaultCddbServer()}, {"", settings::defaultCgiScript()},
            {"", "MP3 files (*.MP3)"}, {"", "yes"}, {"", "98"}, {"", "<Title>"},
            {"", settings::defaultOutputDirectory()},
            {"", "#"}, {"", "&"}, {"", "#"}, {"", "="}, {"", "#"}, {"", "#"}, {"", "#"},
            {"", "("}, {"", ")"}};
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private:
    ProgramWindows m_program;
    QString m_drives;

    void writeAll(const Values &values)
    {
        IniFile ini;
        const auto views = keyViews();
        for (std::size_t i = 0; i < views.size(); ++i)
            ini.writeString(views[i].section, views[i].key, values[int(i)].first);
    }

    void verifyShown(const Values &values)
    {
        const auto views = keyViews();
        QCOMPARE(int(views.size()), values.size());
        for (std::size_t i = 0; i < views.size(); ++i) {
            const QString what = QStringLiteral("%1/%2").arg(views[i].section, views[i].key);
            QVERIFY2(views[i].shown() == values[int(i)].second,
                     qPrintable(what + ": " + views[i].shown()));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Two disc images as drives, after whatever real drives the machine has.
        const QString dir = testEnv().makeDir(QStringLiteral("drives"));
        for (const char *name : {"first.cue", "second.cue"}) {
            QFile f(QDir(dir).filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            m_drives += (m_drives.isEmpty() ? "" : ":") + f.fileName();
        }
        qputenv("HARVELO_CD_DEVICES", m_drives.toLocal8Bit());
    }
    void init() { m_program.start(); }
    void cleanup() { m_program.stop(); }

    void dialogHasItsSizeCaptionAndTabs()
    {
        QVERIFY(openSettings());
        QCOMPARE(fm_setting->windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(fm_setting->form->clientRect().size(), QSize(388, 388));
        QCOMPARE(fm_setting->form->uiStyle(), UIStyle::WinXP);
        QStringList tabs;
        for (int i = 0; i < fm_setting->pgc_setting->count(); ++i)
            tabs << fm_setting->pgc_setting->tabText(i);
        QCOMPARE(tabs, QStringList({"CDDB", "CD Settings", "Output", "MP3", "WMA", "OGG", "More"}));
        QCOMPARE(fm_setting->pgc_setting->currentIndex(), 0);
        QVERIFY(fm_setting->Panel1->isVisible());

        // The tab last chosen stays across shows.
        fm_setting->pgc_setting->setCurrentIndex(5);
        QVERIFY(fm_setting->Panel6->isVisible());
        QVERIFY(!fm_setting->Panel1->isVisible());
        fm_setting->skbtn_cancel->click();
        QVERIFY(openSettings());
        QCOMPARE(fm_setting->pgc_setting->currentIndex(), 5);
        QVERIFY(fm_setting->Panel6->isVisible());
    }

    void showsTheDefaultsWithoutSettings()
    {
        QVERIFY(openSettings());
        verifyShown(defaultsShown());
        QVERIFY(m_program.prompter.boxes.isEmpty());
    }

    void okWithoutSettingsStoresWhatARipUses()
    {
        QVERIFY(openSettings());
        fm_setting->skbtn_ok->click();
        QVERIFY(!fm_setting->isVisible());
        using namespace settings;
        for (const IntKey &key : {cdUnit, cdType, grabMode, errorRetry, errorAction, driveSpeed,
                                  readOffset, mp3Frequency, mp3Channel, mp3Bitrate, mp3VbrBitrate,
                                  mp3VbrQuality, wmaFormat, oggFrequency, oggChannel, oggBitrate,
                                  oggVbrEnabled, oggQualityEnabled, cddbTimeout, outputType,
                                  normalizeRatio, filenameFormat})
            QVERIFY2(stored(key) == QString::number(key.defaultValue), key.key);
        QCOMPARE(stored(normalize), QStringLiteral("yes"));
        QCOMPARE(stored(outputDirectory), defaultOutputDirectory());
        for (const Replacement &r : replacements)
            QCOMPARE(stored(r.key), r.key.defaultValue());
        // Written only when chosen or switched on.
        for (const IntKey &key : {cdSource, oggMinBitrate, oggMaxBitrate, oggQuality})
            QVERIFY2(stored(key) == "<absent>", key.key);
    }

    void loadAndOkRoundTripEveryKey_data()
    {
        QTest::addColumn<int>("set");
        QTest::newRow("first values") << 0;
        QTest::newRow("second values") << 1;
    }
    void loadAndOkRoundTripEveryKey()
    {
        QFETCH(int, set);
        const Values values = set == 0 ? firstValues() : secondValues();
        writeAll(values);
        QVERIFY(openSettings());
        verifyShown(values);
        fm_setting->skbtn_ok->click();
        QVERIFY(!fm_setting->isVisible());
        const auto views = keyViews();
        for (std::size_t i = 0; i < views.size(); ++i)
            QVERIFY2(stored(views[i].section, views[i].key) == values[int(i)].first, views[i].key);
        QVERIFY(m_program.prompter.boxes.isEmpty());
    }

    void storedValueOutsideItsListShowsTheDefaultEntry_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("storedByOk");
        QTest::newRow("drive beyond the list") << "cd settings" << "cd unit" << "7" << "0";
        QTest::newRow("cd type") << "cd settings" << "cd type" << "4" << "0";
        QTest::newRow("grab mode") << "cd settings" << "grab mode" << "0" << "1";
        QTest::newRow("error action") << "cd settings" << "error action" << "-2" << "2";
        QTest::newRow("mp3 frequency") << "mp3 settings" << "frequency" << "22050" << "44100";
        QTest::newRow("mp3 channel") << "mp3 settings" << "channel" << "3" << "2";
        QTest::newRow("mp3 bitrate") << "mp3 settings" << "bitrate" << "100" << "128";
        QTest::newRow("wma code") << "wma settings" << "wma format" << "34" << "28";
        QTest::newRow("ogg bitrate") << "ogg settings" << "bitrate" << "8" << "128";
        QTest::newRow("output type") << "output format" << "output type" << "4" << "0";
        QTest::newRow("naming rule") << "output format" << "filename format" << "-1" << "0";
        QTest::newRow("not a number") << "mp3 settings" << "vbr bitrate" << "abc" << "128";
    }
    void storedValueOutsideItsListShowsTheDefaultEntry()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, storedByOk);
        IniFile().writeString(section, key, value);
        QVERIFY(openSettings());
        fm_setting->skbtn_ok->click();
        QCOMPARE(IniFile().readString(section, key, {}), storedByOk);
    }

    void vbrAndQualityOffLeaveTheirValuesInTheFile_data()
    {
        QTest::addColumn<bool>("onInFile");
        QTest::newRow("off in the file") << false;
        QTest::newRow("cleared by the user") << true;
    }
    void vbrAndQualityOffLeaveTheirValuesInTheFile()
    {
        QFETCH(bool, onInFile);
        using namespace settings;
        IniFile ini;
        ini.write(oggVbrEnabled, onInFile ? 1 : 0);
        ini.write(oggQualityEnabled, onInFile ? 1 : 0);
        ini.write(oggMinBitrate, 96);
        ini.write(oggMaxBitrate, 256);
        ini.write(oggQuality, 650);
        QVERIFY(openSettings());
        OggPage *ogg = fm_setting->Panel6;
        QCOMPARE(ogg->skcb_oggvbrminbitrate->currentText(), QStringLiteral("96kb"));
        QCOMPARE(ogg->skcb_oggvbrmaxbitrate->currentText(), QStringLiteral("256kb"));
        QCOMPARE(ogg->ud_oggquality->value(), 650);
        if (onInFile) {
            ogg->skcb_oggvbrenabled->click();
            ogg->skcb_oggqualityenabled->click();
        }
        // Values the user can no longer see count for nothing.
        pick(ogg->skcb_oggvbrminbitrate, 0);
        ogg->ud_oggquality->setValue(100);
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(oggVbrEnabled), QStringLiteral("0"));
        QCOMPARE(stored(oggQualityEnabled), QStringLiteral("0"));
        QCOMPARE(stored(oggMinBitrate), QStringLiteral("96"));
        QCOMPARE(stored(oggMaxBitrate), QStringLiteral("256"));
        QCOMPARE(stored(oggQuality), QStringLiteral("650"));
    }

    void ogg32000HzMonoShowsAndStores64kb()
    {
        using namespace settings;
        IniFile ini;
        ini.write(oggFrequency, 32000);
        ini.write(oggChannel, 1);
        ini.write(oggBitrate, 128);
        QVERIFY(openSettings());
        OggPage *ogg = fm_setting->Panel6;
        QCOMPARE(ogg->skcb_oggfrequency->currentText(), QStringLiteral("32000Hz"));
        QCOMPARE(ogg->skcb_oggchannel->currentText(), QStringLiteral("Mono"));
        QCOMPARE(ogg->skcb_oggbitrate->currentText(), QStringLiteral("64kb"));
        QVERIFY(m_program.prompter.boxes.isEmpty());
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(oggBitrate), QStringLiteral("64"));
    }

    void okWithWavMakesTheMainWindowShowWav()
    {
        QCOMPARE(fm_main->output_format, 0);
        QVERIFY(openSettings());
        fm_setting->Panel3->skcd_outpputformat->setCurrentIndex(1);
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(settings::outputType), QStringLiteral("1"));
        QCOMPARE(fm_main->output_format, 1);
    }

    void defaultThenCancelStoresOnlyTheOutputType()
    {
        writeAll(firstValues());
        QVERIFY(openSettings());
        pick(fm_setting->Panel3->skcd_outpputformat, 2);
        QCOMPARE(fm_main->output_format, 2);
        QFile file(testEnv().iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray before = file.readAll();
        file.close();

        fm_setting->skbtn_default->click();
        QCOMPARE(fm_main->output_format, 0);
        fm_setting->skbtn_cancel->click();
        QVERIFY(!fm_setting->isVisible());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before.replace("output type=2", "output type=0"));
        QCOMPARE(stored(settings::outputType), QStringLiteral("0"));
    }

    void defaultPutsEveryDefaultIntoTheControls()
    {
        writeAll(firstValues());
        IniFile().write(settings::cdSource, 1);
        QVERIFY(openSettings());
        fm_setting->skbtn_default->click();
        QVERIFY(fm_setting->isVisible());
        // The check boxes, the server fields and the output directory stay as they were.
        Values shown = defaultsShown();
        using namespace settings;
        setShown(shown, kOggSettings, "vbr enabled", "yes");
        setShown(shown, kOggSettings, "quality enabled", "yes");
        setShown(shown, kCddb, "cd source", "Get CDDB from any available source");
        setShown(shown, kCddb, "cddb server", "cddb.example.org");
        setShown(shown, kCddb, "cgi script", "/cgi/cddb");
        setShown(shown, kOutputFormat, "output directory", "/tmp/first dir");
        // A preset, not the absent keys' fallbacks: the second rule and "#" everywhere.
        setShown(shown, kOutputFormat, "filename format", "<Title>-<Artist>");
        for (const Replacement &r : replacements)
            setShown(shown, kOutputFormat, r.key.key, "#");
        verifyShown(shown);
        QVERIFY(m_program.prompter.boxes.isEmpty());
    }

    void couplingsHoldAfterLoadClicksAndDefault_data()
    {
        QTest::addColumn<QString>("normalize");
        QTest::addColumn<int>("vbr");
        QTest::addColumn<int>("quality");
        QTest::newRow("all off") << "no" << 0 << 0;
        QTest::newRow("all on") << "yes" << 1 << 1;
        QTest::newRow("flags count when non-zero") << "Yes" << 2 << -1;
    }
    void couplingsHoldAfterLoadClicksAndDefault()
    {
        QFETCH(QString, normalize);
        QFETCH(int, vbr);
        QFETCH(int, quality);
        IniFile ini;
        ini.write(settings::normalize, normalize);
        ini.write(settings::oggVbrEnabled, vbr);
        ini.write(settings::oggQualityEnabled, quality);
        QVERIFY(openSettings());
        OutputPage *out = fm_setting->Panel3;
        OggPage *ogg = fm_setting->Panel6;
        auto verifyCoupled = [&] {
            QCOMPARE(out->ud_normalize->isEnabled(), out->skcb_normalize->isChecked());
            QCOMPARE(ogg->skcb_oggvbrminbitrate->isEnabled(), ogg->skcb_oggvbrenabled->isChecked());
            QCOMPARE(ogg->skcb_oggvbrmaxbitrate->isEnabled(), ogg->skcb_oggvbrenabled->isChecked());
            QCOMPARE(ogg->ud_oggquality->isEnabled(), ogg->skcb_oggqualityenabled->isChecked());
        };
        QCOMPARE(out->skcb_normalize->isChecked(), normalize == "yes");
        QCOMPARE(ogg->skcb_oggvbrenabled->isChecked(), vbr != 0);
        QCOMPARE(ogg->skcb_oggqualityenabled->isChecked(), quality != 0);
        verifyCoupled();
        const QList<QAbstractButton *> boxes{out->skcb_normalize, ogg->skcb_oggvbrenabled,
                                             ogg->skcb_oggqualityenabled};
        for (QAbstractButton *box : boxes) {
            const bool was = box->isChecked();
            box->click();
            QCOMPARE(box->isChecked(), !was);
            verifyCoupled();
        }
        const bool vbrBefore = ogg->skcb_oggvbrenabled->isChecked();
        fm_setting->skbtn_default->click();
        QVERIFY(out->skcb_normalize->isChecked());
        QCOMPARE(ogg->skcb_oggvbrenabled->isChecked(), vbrBefore);
        verifyCoupled();
        QCOMPARE(stored(settings::normalize), normalize);
    }

    void driveListIsTheGrabbersAtEveryShow()
    {
        ::AudioGrabber &grabber = fm_main->AudioGrabber;
        grabber.setDriveNum(1);
        for (int show = 0; show < 2; ++show) {
            QVERIFY(openSettings());
            TskComboBox *units = fm_setting->Panel2->skcb_cdromunit;
            QCOMPARE(units->count(), grabber.driveCount());
            QVERIFY(units->count() >= 2);
            QCOMPARE(units->itemText(units->count() - 1),
                     m_drives.section(':', 1) + QStringLiteral(" - second.cue"));
            QCOMPARE(grabber.driveNum(), 1);
            fm_setting->skbtn_cancel->click();
        }
    }

    void settingsButtonShowsTheDialogModally()
    {
        IniFile().write(settings::cddbTimeout, 4500);
        bool seen = false;
        QTimer::singleShot(0, fm_setting, [&] {
            seen = fm_setting->isVisible() && fm_setting->isModal() &&
                   fm_setting->Panel1->ud_timeout->value() == 4500;
            fm_setting->skbtn_cancel->click();
        });
        fm_main->sb_settingClick();
        QVERIFY(seen);
        QVERIFY(!fm_setting->isVisible());
        QCOMPARE(stored(settings::cddbTimeout), QStringLiteral("4500"));
    }

    void titleBarCloseIsCancelAndHelpOpensHelp()
    {
        QVERIFY(openSettings());
        fm_setting->skbtn_help->click();
        QCOMPARE(m_program.desktop.helpOpened, 1);
        QCOMPARE(m_program.desktop.helpPages, QStringList{"settings.html"});
        fm_setting->Panel1->ud_timeout->setValue(100);
        TskTitleBar *bar = fm_setting->form->titleBar();
        for (int i = 0; i < bar->buttonCount(); ++i)
            if (bar->button(i).type == TskTitleBar::skClose)
                bar->runButton(i);
        QVERIFY(!fm_setting->isVisible());
        QCOMPARE(stored(settings::cddbTimeout), QStringLiteral("<absent>"));
    }

    void pagesSwitchByKeyboard_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const int ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("Ctrl+Tab in a field") << "field" << int(Qt::Key_Tab) << ctrl << 0 << 1;
        QTest::newRow("Ctrl+Tab on OK wraps") << "ok" << int(Qt::Key_Tab) << ctrl << 6 << 0;
        QTest::newRow("Ctrl+Shift+Tab") << "field" << int(Qt::Key_Backtab) << ctrlShift << 2 << 1;
        QTest::newRow("Ctrl+Shift+Tab wraps") << "ok" << int(Qt::Key_Backtab) << ctrlShift << 0 << 6;
        QTest::newRow("Ctrl+PgDown") << "field" << int(Qt::Key_PageDown) << ctrl << 3 << 4;
        QTest::newRow("Ctrl+PgUp") << "field" << int(Qt::Key_PageUp) << ctrl << 3 << 2;
        QTest::newRow("Right on the strip") << "strip" << int(Qt::Key_Right) << 0 << 1 << 2;
        QTest::newRow("Left on the strip") << "strip" << int(Qt::Key_Left) << 0 << 1 << 0;
    }

    // The pages change from the keyboard wherever its focus is in the dialog.
    void pagesSwitchByKeyboard()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, from);
        QFETCH(int, to);
        QVERIFY(openSettings());
        fm_setting->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_setting));
        TskTabControl *tabs = fm_setting->pgc_setting;
        tabs->setCurrentIndex(from);
        QWidget *target = tabs;
        if (focus == QLatin1String("ok"))
            target = fm_setting->skbtn_ok;
        if (focus == QLatin1String("field")) {
            for (QWidget *w : tabs->page(from)->findChildren<QWidget *>())
                if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                    target = target == tabs ? w : target;
        }
        target->setFocus(Qt::TabFocusReason);
        QVERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tabs->currentIndex(), to);
        QVERIFY(tabs->page(to)->isVisible());
        fm_setting->skbtn_cancel->click();
    }

    // Tab walks through the dialog's controls and reaches the tab strip.
    void tabStripIsReachedWithTab()
    {
        QVERIFY(openSettings());
        fm_setting->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_setting));
        fm_setting->skbtn_help->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 100 && !fm_setting->pgc_setting->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(fm_setting->pgc_setting->hasFocus());
        fm_setting->skbtn_cancel->click();
    }

    // tools/settings_screenshots.sh: every page and the picker as pictures, to look at.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("HARVELO_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("HARVELO_SCREENSHOT_DIR is not set");
        writeAll(firstValues());
        QVERIFY(openSettings());
        for (int tab = 0; tab < fm_setting->pgc_setting->count(); ++tab) {
            fm_setting->pgc_setting->setCurrentIndex(tab);
            QTest::qWait(50);
            const QString name = fm_setting->pgc_setting->tabText(tab).remove(' ').toLower();
            QVERIFY(fm_setting->grab().save(QStringLiteral("%1/settings_%2.png").arg(dir, name)));
        }
        // The tab strip with the keyboard on it.
        fm_setting->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_setting));
        fm_setting->pgc_setting->setCurrentIndex(1);
        fm_setting->pgc_setting->setFocus(Qt::TabFocusReason);
        QTest::qWait(50);
        QVERIFY(fm_setting->grab().save(dir + QStringLiteral("/settings_focusedtab.png")));
        fm_setting->skbtn_cancel->click();
        fm_outputdir->open();
        QVERIFY(QTest::qWaitForWindowExposed(fm_outputdir));
        QTest::qWait(500);
        QVERIFY(fm_outputdir->grab().save(dir + QStringLiteral("/outputdir.png")));
        fm_outputdir->skbtn_can->click();
    }
};

HARVELO_TEST_MAIN(TestSettingsDialog, QApplication)
#include "tst_settings_dialog.moc"
