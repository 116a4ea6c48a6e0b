#include "tests/gui/settings/settings_fixture.h"

using Kind = Prompter::Kind;
Q_DECLARE_METATYPE(Prompter::Kind)

namespace {

QWidget *fieldNamed(const QString &name)
{
    Tfm_setting *s = fm_setting;
    if (name.startsWith(QLatin1String("replace")))
        return s->Panel3->skedt_replace[name.mid(7).toInt() - 1];
    const QHash<QString, QWidget *> fields{
        {"retry", s->Panel2->ud_retry},          {"speed", s->Panel2->ud_speed},
        {"mp3 quality", s->Panel4->ud_mp3vbrquality}, {"normalize", s->Panel3->ud_normalize},
        {"timeout", s->Panel1->ud_timeout},      {"ogg quality", s->Panel6->ud_oggquality},
    };
    return fields.value(name);
}

} // namespace

class TestSettingsChecks : public QObject {
    Q_OBJECT

private:
    ProgramWindows m_program;

    ScriptedPrompter &prompter() { return m_program.prompter; }

private Q_SLOTS:
    void init()
    {
        m_program.start();
        QVERIFY(openSettings());
    }
    void cleanup() { m_program.stop(); }

    void typedTextIsChecked_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: no box
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("shownAfter");

        QTest::newRow("retries emptied") << "retry" << "" << "The code must not be null!"
                                         << Kind::Warning << "5";
        QTest::newRow("retries letter") << "retry" << "x" << "The code must be integer!"
                                        << Kind::Warning << "5";
        QTest::newRow("retries number") << "retry" << "42" << "" << Kind::Warning << "42";
        QTest::newRow("speed letter") << "speed" << "-" << "The code must be integer!"
                                      << Kind::Warning << "32";
        QTest::newRow("speed above 32") << "speed" << "40" << "The code must not be bigger than 32!"
                                        << Kind::Warning << "32";
        QTest::newRow("speed 32") << "speed" << "32" << "" << Kind::Warning << "32";
        QTest::newRow("mp3 quality emptied") << "mp3 quality" << "" << "The code must not be null!"
                                             << Kind::Warning << "5";
        QTest::newRow("mp3 quality letter") << "mp3 quality" << "q" << "The code must be integer!"
                                            << Kind::Warning << "5";
        QTest::newRow("normalize emptied") << "normalize" << "" << "The code must not be null!"
                                           << Kind::Warning << "98";
        QTest::newRow("normalize leading zero") << "normalize" << "099" << "" << Kind::Warning
                                                << "099";
        QTest::newRow("timeout emptied") << "timeout" << "" << "The code must not be null!"
                                         << Kind::Warning << "7,000";
        QTest::newRow("timeout letter") << "timeout" << "1a" << "The code must be integer!"
                                        << Kind::Warning << "7,000";
        QTest::newRow("timeout grouped") << "timeout" << "9,500" << "" << Kind::Warning << "9,500";
        QTest::newRow("quality letter") << "ogg quality" << "5x" << "Quality must be integer!"
                                        << Kind::Warning << "300";
        QTest::newRow("quality above 1000") << "ogg quality" << "2000"
                                            << "Quality must not be bigger than 1000!"
                                            << Kind::Warning << "300";
        QTest::newRow("replacement star") << "replace1" << "*" << "* must not be in filename!"
                                          << Kind::Information << "";
        QTest::newRow("replacement question") << "replace2" << "?" << "?must not be in filename!"
                                              << Kind::Information << "";
        QTest::newRow("replacement slash") << "replace6" << "/" << "/must not be in filename!"
                                           << Kind::Information << "";
        QTest::newRow("replacement less") << "replace8" << "<" << "< must not be in filename!"
                                          << Kind::Information << "";
        QTest::newRow("replacement quote in field 9")
            << "replace9" << "\"" << "\"must not be in filename!" << Kind::Information << "";
        QTest::newRow("replacement underscore")
            << "replace3" << "_" << "" << Kind::Information << "_";
    }
    void typedTextIsChecked()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(Kind, kind);
        QFETCH(QString, shownAfter);
        fm_setting->Panel6->skcb_oggqualityenabled->click();
        QWidget *edit = fieldNamed(field);
        QVERIFY(edit && edit->isEnabled());
        retype(edit, typed);
        if (message.isEmpty()) {
            QVERIFY(prompter().boxes.isEmpty());
        } else {
            QCOMPARE(prompter().boxes.size(), 1);
            QCOMPARE(prompter().boxes[0].text, message);
            QCOMPARE(prompter().boxes[0].kind, kind);
        }
        QCOMPARE(editorOf(edit)->text(), shownAfter);
    }

    // The number typed last counts; one the field cannot take leaves the last valid one.
    void typedNumbersAreStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("storedRatio");
        QTest::newRow("within the range") << "75" << "75";
        QTest::newRow("250 above the range") << "250" << "60";
    }
    void typedNumbersAreStored()
    {
        QFETCH(QString, typed);
        QFETCH(QString, storedRatio);
        fm_setting->skbtn_cancel->click();
        IniFile().write(settings::normalizeRatio, 60);
        QVERIFY(openSettings());
        retype(fm_setting->Panel3->ud_normalize, typed);
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(settings::normalizeRatio), storedRatio);
    }

    // A read offset beyond the drive limits becomes the nearest limit at once, in the field,
    // and that is what OK stores; nothing is asked.
    void readOffsetIsClampedAndShown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedOffset");
        QTest::newRow("within") << "120" << "120" << "120";
        QTest::newRow("grouped") << "1,200" << "1,200" << "1200";
        QTest::newRow("5000") << "5000" << "3,000" << "3000";
        QTest::newRow("99999") << "99999" << "3,000" << "3000";
        QTest::newRow("-5000") << "-5000" << "-3,000" << "-3000";
        QTest::newRow("-3000") << "-3000" << "-3000" << "-3000";
    }
    void readOffsetIsClampedAndShown()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, storedOffset);
        fm_setting->skbtn_cancel->click();
        IniFile().write(settings::readOffset, 6);
        QVERIFY(openSettings());
        NumericField *offset = fm_setting->Panel2->ud_offset;
        retype(offset, QStringLiteral("48"));
        retype(offset, typed);
        QCOMPARE(editorOf(offset)->text(), shown);
        QVERIFY(prompter().boxes.isEmpty());
        fm_setting->skbtn_ok->click();
        QCOMPARE(stored(settings::readOffset), storedOffset);
    }

    void fillingTheFieldsRunsNoCheck()
    {
        fm_setting->skbtn_cancel->click();
        IniFile ini;
        // Stored values that a user could not type: showing them asks nothing.
        ini.write(settings::replacements[0].key, QStringLiteral("*"));
        ini.write(settings::oggVbrEnabled, 1);
        ini.write(settings::oggMinBitrate, 256);
        ini.write(settings::oggMaxBitrate, 48);
        QVERIFY(openSettings());
        QCOMPARE(fm_setting->Panel3->skedt_replace[0]->text(), QStringLiteral("*"));
        fm_setting->skbtn_default->click();
        fm_setting->skbtn_cancel->click();
        QVERIFY(openSettings());
        QVERIFY(prompter().boxes.isEmpty());
    }

    void oggBitrateListsGuardEachOther_data()
    {
        QTest::addColumn<bool>("vbr");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("positions"); // bitrate, min, max afterwards

        // Loaded: bit rate 128kb, min 96kb, max 192kb.
        QTest::newRow("bitrate below min") << true << 44100 << 2 << "bitrate" << "80kb"
            << "Ogg bitrate can not be smaller than minbitrate!" << Kind::Warning
            << "128kb 96kb 192kb";
        QTest::newRow("bitrate above max") << true << 44100 << 2 << "bitrate" << "224kb"
            << "Ogg bitrate can not be bigger than maxbitrate!" << Kind::Warning
            << "128kb 96kb 192kb";
        QTest::newRow("bitrate between") << true << 44100 << 2 << "bitrate" << "160kb" << ""
            << Kind::Warning << "160kb 96kb 192kb";
        QTest::newRow("bitrate with vbr off") << false << 44100 << 2 << "bitrate" << "320kb" << ""
            << Kind::Warning << "320kb 96kb 192kb";
        QTest::newRow("bitrate at 32000 mono") << false << 32000 << 1 << "bitrate" << "56kb" << ""
            << Kind::Warning << "56kb 96kb 192kb";
        QTest::newRow("bitrate above 64 at 32000 mono")
            << false << 32000 << 1 << "bitrate" << "96kb"
            << "Ogg bitrate can not be greater than 64kb if frequency is 32000hz!"
            << Kind::Information << "64kb 96kb 192kb";
        QTest::newRow("min above bitrate") << true << 44100 << 2 << "min" << "160kb"
            << "minbitrate must be smaller than bitrate!" << Kind::Plain << "128kb 96kb 192kb";
        QTest::newRow("min lower") << true << 44100 << 2 << "min" << "48kb" << ""
            << Kind::Warning << "128kb 48kb 192kb";
        QTest::newRow("max below bitrate") << true << 44100 << 2 << "max" << "112kb"
            << "maxbitrate must be bigger than bitrate!" << Kind::Information << "128kb 96kb 192kb";
        QTest::newRow("max higher") << true << 44100 << 2 << "max" << "320kb" << ""
            << Kind::Warning << "128kb 96kb 320kb";
    }
    void oggBitrateListsGuardEachOther()
    {
        QFETCH(bool, vbr);
        QFETCH(int, frequency);
        QFETCH(int, channel);
        QFETCH(QString, list);
        QFETCH(QString, picked);
        QFETCH(QString, message);
        QFETCH(Kind, kind);
        QFETCH(QString, positions);
        fm_setting->skbtn_cancel->click();
        IniFile ini;
        ini.write(settings::oggFrequency, frequency);
        ini.write(settings::oggChannel, channel);
        ini.write(settings::oggBitrate, frequency == 32000 ? 64 : 128);
        ini.write(settings::oggVbrEnabled, vbr ? 1 : 0);
        ini.write(settings::oggMinBitrate, 96);
        ini.write(settings::oggMaxBitrate, 192);
        QVERIFY(openSettings());
        OggPage *ogg = fm_setting->Panel6;
        QComboBox *target = list == "bitrate" ? ogg->skcb_oggbitrate
                            : list == "min"   ? ogg->skcb_oggvbrminbitrate
                                              : ogg->skcb_oggvbrmaxbitrate;
        pick(target, target->findText(picked));
        if (message.isEmpty()) {
            QVERIFY(prompter().boxes.isEmpty());
        } else {
            QCOMPARE(prompter().texts(), QStringList{message});
            QCOMPARE(prompter().boxes[0].kind, kind);
        }
        QCOMPARE(QStringList({ogg->skcb_oggbitrate->currentText(),
                              ogg->skcb_oggvbrminbitrate->currentText(),
                              ogg->skcb_oggvbrmaxbitrate->currentText()})
                     .join(' '),
                 positions);
    }

    void minAboveMaxGoesToTheFirstEntry()
    {
        fm_setting->skbtn_cancel->click();
        IniFile ini;
        ini.write(settings::oggVbrEnabled, 1);
        ini.write(settings::oggBitrate, 256);
        ini.write(settings::oggMinBitrate, 96);
        ini.write(settings::oggMaxBitrate, 160);
        QVERIFY(openSettings());
        OggPage *ogg = fm_setting->Panel6;
        pick(ogg->skcb_oggvbrminbitrate, ogg->skcb_oggvbrminbitrate->findText("192kb"));
        QCOMPARE(prompter().texts(), QStringList{"minbitrate must be smaller than maxbitrate!"});
        QCOMPARE(ogg->skcb_oggvbrminbitrate->currentText(), QStringLiteral("48kb"));
    }

    void choosing32000HzMonoLowersTheBitrate_data()
    {
        QTest::addColumn<bool>("frequencyLast");
        QTest::newRow("mono, then 32000 Hz") << true;
        QTest::newRow("32000 Hz, then mono") << false;
    }
    void choosing32000HzMonoLowersTheBitrate()
    {
        QFETCH(bool, frequencyLast);
        OggPage *ogg = fm_setting->Panel6;
        QCOMPARE(ogg->skcb_oggbitrate->currentText(), QStringLiteral("128kb"));
        pick(frequencyLast ? ogg->skcb_oggchannel : ogg->skcb_oggfrequency, 0);
        QCOMPARE(ogg->skcb_oggbitrate->currentText(), QStringLiteral("128kb"));
        pick(frequencyLast ? ogg->skcb_oggfrequency : ogg->skcb_oggchannel, 0);
        QCOMPARE(ogg->skcb_oggbitrate->currentText(), QStringLiteral("64kb"));
        QVERIFY(prompter().boxes.isEmpty());
    }

    void choosingAnOutputFormatRunsTheFormatCommandAtOnce()
    {
        pick(fm_setting->Panel3->skcd_outpputformat, 3);
        QCOMPARE(fm_main->output_format, 3);
        QCOMPARE(stored(settings::outputType), QStringLiteral("3"));
    }
};

HARVELO_TEST_MAIN(TestSettingsChecks, QApplication)
#include "tst_settings_checks.moc"
