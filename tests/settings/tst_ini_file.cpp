#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/test_env.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

class TestIniFile : public QObject {
    Q_OBJECT

private:
    QString m_path;
    void writeRaw(const QByteArray &content) { QVERIFY(writeFileBytes(m_path, content)); }
    QByteArray readRaw() { return fileBytes(m_path); }

private Q_SLOTS:
    void init()
    {
        m_path = testEnv().iniPath();
        QFile::remove(m_path);
    }

    void locationFollowsConfigDir()
    {
        QCOMPARE(IniFile::configPath(), testEnv().iniPath());
    }

    void absentFileSectionOrKey_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("other section") << QByteArray("[cddb]\ntimeout=5\n");
        QTest::newRow("other key") << QByteArray("[cd settings]\ncd type=3\n");
        QTest::newRow("key in later section") << QByteArray("[cd settings]\n[x]\ncd unit=4\n");
    }
    void absentFileSectionOrKey()
    {
        QFETCH(QByteArray, content);
        if (!content.isNull())
            writeRaw(content);
        IniFile ini;
        QCOMPARE(ini.readInteger("cd settings", "cd unit", 1), 1);
        QCOMPARE(ini.readString("cd settings", "cd unit", "dflt"), QString("dflt"));
        QCOMPARE(ini.read(settings::cdUnit), 0);
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("42") << 42;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("blanks around") << QByteArray("  17  ") << 17;
        QTest::newRow("0x hex") << QByteArray("0x20") << 32;
        QTest::newRow("0X hex") << QByteArray("0X1f") << 31;
        QTest::newRow("dollar hex") << QByteArray("$FF") << 255;
        QTest::newRow("letters") << QByteArray("abc") << 777;
        QTest::newRow("empty") << QByteArray("") << 777;
        QTest::newRow("trailing junk") << QByteArray("12abc") << 777;
        QTest::newRow("bare 0x") << QByteArray("0x") << 777;
        QTest::newRow("bare dollar") << QByteArray("$") << 777;
        QTest::newRow("overflow") << QByteArray("99999999999") << 777;
        QTest::newRow("decimal point") << QByteArray("1.5") << 777;
    }
    void integers()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        writeRaw("[mp3 settings]\nbitrate=" + stored + "\n");
        QCOMPARE(IniFile().readInteger("mp3 settings", "bitrate", 777), expected);
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("2 counts as on") << QByteArray("2") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("junk is the default") << QByteArray("on") << false;
    }
    void flags()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, expected);
        writeRaw("[ogg settings]\nvbr enabled=" + stored + "\n");
        QCOMPARE(IniFile().readFlag(settings::oggVbrEnabled), expected);
    }

    void letterCaseIgnored()
    {
        writeRaw("[CD Settings]\nCD UNIT=3\n[Output Format]\nNormalize=Yes\n");
        IniFile ini;
        QCOMPARE(ini.read(settings::cdUnit), 3);
        // The value keeps its case: "Yes" is not "yes".
        QCOMPARE(ini.read(settings::normalize), QString("Yes"));
        ini.write(settings::cdUnit, 5);
        QCOMPARE(readRaw(), QByteArray("[CD Settings]\ncd unit=5\n[Output Format]\nNormalize=Yes\n"));
    }

    void longValueCut()
    {
        const QString longDir(3000, QLatin1Char('d'));
        IniFile ini;
        ini.write(settings::outputDirectory, longDir);
        QCOMPARE(ini.read(settings::outputDirectory), longDir.left(2047));
    }

    void writeKeepsOtherLines()
    {
        const QByteArray before = "; kept comment\r\n[basic]\r\nskin=2\r\nskin name=/x/y.skn\r\n\r\n"
                                  "[cddb]\r\ntimeout = 100\r\nodd line without equals\r\n";
        writeRaw(before);
        IniFile ini;
        ini.write(settings::cddbTimeout, 250);
        QByteArray expected = before;
        expected.replace("timeout = 100", "timeout=250");
        QCOMPARE(readRaw(), expected);

        // A new key goes to the end of its section, a new section to the end of the file.
        ini.write(settings::skin, 4);
        ini.write(settings::cdSource, 1);
        ini.write(settings::mp3Bitrate, 192);
        QCOMPARE(readRaw(), QByteArray("; kept comment\r\n[basic]\r\nskin=4\r\nskin name=/x/y.skn\r\n\r\n"
                                       "[cddb]\r\ntimeout=250\r\nodd line without equals\r\n"
                                       "cd source=1\r\n[mp3 settings]\r\nbitrate=192\r\n"));
    }

    void valueStaysOnItsLine_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("read");
        QTest::newRow("line feed") << "a\nb" << "a b";
        QTest::newRow("a section of its own") << "/music\r\n[basic]\r\nskin=5" << "/music  [basic]  skin=5";
        QTest::newRow("carriage return") << "x\ry" << "x y";
        QTest::newRow("surrounding blanks and breaks trimmed") << " \n padded \r " << "padded";
    }
    // A value never spans lines: it cannot add keys or sections to the file.
    void valueStaysOnItsLine()
    {
        QFETCH(QString, value);
        QFETCH(QString, read);
        writeRaw("[basic]\nskin=2\n");
        IniFile ini;
        ini.write(settings::outputDirectory, value);
        QCOMPARE(ini.read(settings::outputDirectory), read);
        QCOMPARE(ini.read(settings::skin), 2);
        const QList<QByteArray> lines = readRaw().split('\n');
        QCOMPARE(lines.size(), 5); // two sections of one key each, and the end of the last line
        QCOMPARE(lines[2], QByteArray("[output format]"));
        QVERIFY(lines[3].startsWith("output directory="));
    }

    // A folder name that is not UTF-8 reads as lone surrogates that Qt cannot hand on as the
    // stored bytes; written back (the settings dialog's OK), the file keeps those bytes.
    void bytesThatAreNotUtf8AreKept()
    {
        const QByteArray stored = "/music/caf\xe9/\xff\xfe\x80 \xed\xa0\x80x\xf0\x9f\x8e\xb5";
        writeRaw("[output format]\noutput directory=" + stored + "\n");
        IniFile ini;
        const QString dir = ini.read(settings::outputDirectory);
        QVERIFY(dir.endsWith(QString::fromUtf8("x\xf0\x9f\x8e\xb5")));
        QVERIFY(!IniFile::isFaithfulPath(dir));
        QVERIFY(IniFile::isFaithfulPath(QString::fromUtf8("/music/caf\xc3\xa9 \xef\xbf\xbd")));
        ini.write(settings::outputDirectory, dir);
        QCOMPARE(readRaw(), "[output format]\noutput directory=" + stored + "\n");
        QCOMPARE(ini.unfaithfulPathMessage(settings::outputDirectory),
                 "The \"output directory\" of " + m_path
                     + " is not UTF-8 text: choose it again in the settings.");
    }

    void oversizedFile_data()
    {
        QTest::addColumn<qint64>("padding"); // bytes of comment lines before "[cddb]\ntimeout=5"
        QTest::addColumn<int>("before");     // "timeout" as read
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("after");      // as read after the write; -1: the write is refused
        QTest::addColumn<int>("growth");     // of the file, in bytes
        const qint64 limit = IniFile::maxFileBytes;
        const qint64 section = QByteArray("[cddb]\ntimeout=5\n").size();
        QTest::newRow("within the limit") << limit - section << 5 << 6 << 6 << 0;
        QTest::newRow("a longer line would pass the limit") << limit - section << 5 << 123456 << -1 << 0;
        QTest::newRow("its line across the limit") << limit - section + 1 << 7000 << 6 << -1 << 0;
        QTest::newRow("far past the limit") << 3 * limit << 7000 << 6 << 6 << int(section);
    }
    // Only the lines within the limit are read. A write keeps the rest as it was, and is
    // refused when it would push a line that is read now past the limit.
    void oversizedFile()
    {
        QFETCH(qint64, padding);
        QFETCH(int, written);
        QFETCH(int, after);
        QFETCH(int, growth);
        QByteArray comments;
        while (comments.size() < padding)
            comments += QByteArray(std::min<qint64>(100, padding - comments.size()) - 1, ';') + '\n';
        const QByteArray rest = "[basic]\nskin=4\n" + QByteArray(5000, 'z') + "\n";
        writeRaw(comments + "[cddb]\ntimeout=5\n" + rest);
        const QByteArray before = readRaw();
        IniFile ini;
        QTEST(ini.read(settings::cddbTimeout), "before");
        QCOMPARE(ini.read(settings::skin), 1);
        if (after < 0) {
            QVERIFY_THROWS_EXCEPTION(IniWriteError, ini.write(settings::cddbTimeout, written));
            QCOMPARE(readRaw(), before);
            return;
        }
        ini.write(settings::cddbTimeout, written);
        QCOMPARE(ini.read(settings::cddbTimeout), after);
        QCOMPARE(ini.read(settings::skin), 1);
        QCOMPARE(readRaw().size(), before.size() + growth);
        QVERIFY(readRaw().endsWith(rest));
    }

    void byteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("body"); // after the mark
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("LF") << QByteArray("[output format]\noutput directory=/rips\n[cddb]\ntimeout=9\n")
                            << QByteArray("[output format]\noutput directory=/rips\nfilename format=4\n"
                                          "[cddb]\ntimeout=9\n");
        QTest::newRow("CRLF, blanks") << QByteArray("  [Output Format]  \r\noutput directory = /rips\r\n")
                                      << QByteArray("  [Output Format]  \r\noutput directory = /rips\r\n"
                                                    "filename format=4\r\n");
    }
    // Some editors save the file with a UTF-8 byte-order mark: the first section is still
    // seen, a write changes that section rather than adding a second one, and the mark stays.
    void byteOrderMark()
    {
        QFETCH(QByteArray, body);
        const QByteArray bom = "\xEF\xBB\xBF";
        writeRaw(bom + body);
        IniFile ini;
        QCOMPARE(ini.read(settings::outputDirectory), QString("/rips"));
        ini.write(settings::filenameFormat, 4);
        QTEST(readRaw().mid(3), "written");
        QVERIFY(readRaw().startsWith(bom));
        QCOMPARE(ini.read(settings::filenameFormat), 4);
    }

    void byteOrderMarkAlone()
    {
        writeRaw("\xEF\xBB\xBF");
        IniFile ini;
        QCOMPARE(ini.read(settings::cddbTimeout), 7000);
        ini.write(settings::cddbTimeout, 5);
        QCOMPARE(readRaw(), QByteArray("\xEF\xBB\xBF[cddb]\ntimeout=5\n"));
    }

    void firstWriteCreatesFile()
    {
        IniFile ini;
        ini.write(settings::cgiScript, "/~cddb/cddb.cgi");
        QCOMPARE(readRaw(), QByteArray("[cddb]\ncgi script=/~cddb/cddb.cgi\n"));
        QCOMPARE(ini.read(settings::cgiScript), QString("/~cddb/cddb.cgi"));
    }

    void nothingCached()
    {
        IniFile reader;
        IniFile writer;
        QCOMPARE(reader.read(settings::filenameFormat), 0);
        writer.write(settings::filenameFormat, 6);
        QCOMPARE(reader.read(settings::filenameFormat), 6);
    }

    void refusedWriteThrowsAndKeepsFile()
    {
        if (geteuid() == 0)
            QSKIP("root may write anywhere");
        writeRaw("[basic]\nskin=2\n");
        const QString dir = testEnv().makeDir("readonly");
        QFile::copy(m_path, dir + "/harvelo.ini");
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        IniFile ini(dir + "/harvelo.ini");
        try {
            ini.write(settings::skin, 3);
            QFAIL("no exception");
        } catch (const IniWriteError &e) {
            QCOMPARE(QString::fromLocal8Bit(e.what()), "Unable to write to " + dir + "/harvelo.ini");
        }
        QCOMPARE(ini.read(settings::skin), 2);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void unwritableLocationThrows()
    {
        // A path below a regular file cannot be created, even by root.
        writeRaw("x");
        IniFile ini(m_path + "/sub/harvelo.ini");
        QVERIFY_THROWS_EXCEPTION(IniWriteError, ini.write(settings::skin, 3));
    }

    void defaultsOfTheTable()
    {
        IniFile ini;
        QCOMPARE(ini.read(settings::wmaFormat), 28);
        QCOMPARE(ini.read(settings::grabMode), 1);
        QCOMPARE(ini.read(settings::normalize), QString("yes"));
        QCOMPARE(ini.read(settings::oggQuality), 300);
        QCOMPARE(ini.read(settings::cddbServer), QString("gnudb.gnudb.org"));
        QCOMPARE(ini.read(settings::replacements[1].key), QString("&"));
        QCOMPARE(settings::replacements[6].replaced, QLatin1Char('\\'));
    }
};

HARVELO_TEST_MAIN(TestIniFile, QCoreApplication)
#include "tst_ini_file.moc"
