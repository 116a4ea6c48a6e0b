#include "config/ini_file.h"
#include "config/settings_keys.h"
#include "rip/output_naming.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using Replacements = QMap<int, QString>; // index 0..8 of the nine keys -> stored value

class TestOutputNaming : public QObject {
    Q_OBJECT

    static void storeSettings(const QString &dir, int rule, int type, const Replacements &repl)
    {
        testEnv().clearIni();
        IniFile ini;
        ini.write(settings::outputDirectory, dir);
        ini.write(settings::filenameFormat, rule);
        ini.write(settings::outputType, type);
        for (auto it = repl.begin(); it != repl.end(); ++it)
            ini.write(settings::replacements[size_t(it.key())].key, it.value());
    }

    static OutputPath plan(const TrackNames &track)
    {
        return planOutputPath(track, NamingSettings::read(IniFile()));
    }

private Q_SLOTS:
    void paths_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("type");
        QTest::addColumn<Replacements>("repl");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("path"); // below the output directory
        QTest::addColumn<QStringList>("dirs");

        const QStringList none;
        const QStringList band{"", "/Band"};
        QTest::newRow("default replacements") << 0 << 0 << Replacements{} << "Band" << "Al"
            << "AC/DC: Live?" << 1 << "/AC#DC= Live&.mp3" << none;
        QTest::newRow("rule 4") << 4 << 0 << Replacements{} << "Band" << "Al" << "Song" << 7
            << "/Band/7-Song.mp3" << band;
        QTest::newRow("rule 6 album") << 6 << 0 << Replacements{} << "Band" << "Best: Vol 1"
            << "Song" << 7 << "/Band/Best= Vol 1/7-Song.mp3"
            << QStringList{"", "/Band", "/Band/Best= Vol 1"};
        QTest::newRow("backslash artist, rule 3") << 3 << 1 << Replacements{} << "AC\\DC" << ""
            << "Song" << 2 << "/AC#DC/Song.wav" << QStringList{"", "/AC#DC"};
        QTest::newRow("rule 1 empty artist") << 1 << 3 << Replacements{} << "" << "" << "Song"
            << 1 << "/Song-.ogg" << none;
        QTest::newRow("rule 2") << 2 << 2 << Replacements{} << "Band" << "Al" << "Song" << 1
            << "/Song-Band-Al.wma" << none;
        QTest::newRow("rule 5") << 5 << 0 << Replacements{} << "Band" << "Al" << "Song" << 3
            << "/Band/Al/Song.mp3" << QStringList{"", "/Band", "/Band/Al"};
        QTest::newRow("track 12") << 4 << 0 << Replacements{} << "Band" << "" << "Song" << 12
            << "/Band/12-Song.mp3" << band;
        QTest::newRow("empty artist, rule 3") << 3 << 0 << Replacements{} << "" << "" << "Song"
            << 1 << "//Song.mp3" << QStringList{"", "/"};
        QTest::newRow("unknown type, no extension") << 0 << 9 << Replacements{} << "" << ""
            << "Song" << 1 << "/Song" << none;
        QTest::newRow("feeds a later one") << 0 << 0 << Replacements{{0, "?"}} << "" << ""
            << "A*B" << 1 << "/A&B.mp3" << none;
        QTest::newRow("empty deletes, long inserted") << 0 << 0
            << Replacements{{3, ""}, {1, "QQ"}} << "" << "" << "AC/DC: Live?" << 1
            << "/AC#DC LiveQQ.mp3" << none;
        QTest::newRow("lower/greater") << 0 << 0 << Replacements{} << "" << "" << "<a>|\"b\""
            << 1 << "/(a)##b#.mp3" << none;

        // Untrusted names stay inside the output directory.
        QTest::newRow("artist ..") << 3 << 0 << Replacements{} << ".." << "" << "Song" << 1
            << "/##/Song.mp3" << QStringList{"", "/##"};
        QTest::newRow("album .") << 6 << 0 << Replacements{} << "Band" << "." << "Song" << 1
            << "/Band/#/1-Song.mp3" << QStringList{"", "/Band", "/Band/#"};
        QTest::newRow("slash replaced by slash") << 3 << 0 << Replacements{{5, "/"}} << "AC/DC"
            << "" << "Song" << 1 << "/AC#DC/Song.mp3" << QStringList{"", "/AC#DC"};
        QTest::newRow("backslash becomes ../") << 5 << 0 << Replacements{{6, "/../"}} << "\\"
            << "x" << "Song" << 1 << "/#..#/x/Song.mp3" << QStringList{"", "/#..#", "/#..#/x"};
        QTest::newRow("title .. without extension") << 0 << 9 << Replacements{} << "" << ""
            << ".." << 1 << "/##" << none;
        QTest::newRow("replacement makes ..") << 3 << 0 << Replacements{{0, "."}} << "**" << ""
            << "Song" << 1 << "/##/Song.mp3" << QStringList{"", "/##"};
        QTest::newRow("NUL in title") << 0 << 1 << Replacements{} << "" << ""
            << QString(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("/..")) << 1
            << "/a##...wav" << none;
    }

    void paths()
    {
        QFETCH(int, rule);
        QFETCH(int, type);
        QFETCH(Replacements, repl);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, title);
        QFETCH(int, number);
        QFETCH(QString, path);
        QFETCH(QStringList, dirs);

        const QString dir = QStringLiteral("/music/rips");
        storeSettings(dir, rule, type, repl);
        const OutputPath out = plan({title, number, artist, album});
        QCOMPARE(out.path, dir + path);
        QStringList expectedDirs;
        for (const QString &d : dirs)
            expectedDirs << dir + d;
        QCOMPARE(out.directories, expectedDirs);
        QCOMPARE(out.directory, dirs.isEmpty() ? dir : expectedDirs.last());
        // Whatever the names, the file stays below the output directory.
        QVERIFY(QDir::cleanPath(out.path).startsWith(dir + QLatin1Char('/')));
        QVERIFY(!out.path.contains(QChar(u'\0')));
    }

    void trailingSeparatorIsKept()
    {
        storeSettings(QStringLiteral("/rips/"), 0, 0, {});
        QCOMPARE(plan({QStringLiteral("Song"), 1, {}, {}}).path, QStringLiteral("/rips//Song.mp3"));
    }

    void absentKeysUseTheirDefaults()
    {
        testEnv().clearIni();
        const NamingSettings s = NamingSettings::read(IniFile());
        QCOMPARE(s.outputDirectory, settings::defaultOutputDirectory());
        QCOMPARE(s.filenameFormat, 0);
        QCOMPARE(s.replacements, (QStringList{"#", "&", "#", "=", "#", "#", "#", "(", ")"}));
        QCOMPARE(s.extension, extensionForOutputType(settings::outputType.defaultValue));
        QCOMPARE(NamingSettings::read(IniFile(), QStringLiteral(".wma")).extension,
                 QStringLiteral(".wma"));
    }

    void directoriesAreCreatedOneLevelEach()
    {
        const QString base = testEnv().makeDir(QStringLiteral("levels"));
        storeSettings(base + QStringLiteral("/out"), 4, 0, {});
        const OutputPath out = plan({QStringLiteral("Song"), 7, QStringLiteral("Band"), {}});
        createDirectoryLevels(out.directories);
        createDirectoryLevel(out.directory);
        QVERIFY(QFileInfo(base + QStringLiteral("/out")).isDir());
        QVERIFY(QFileInfo(base + QStringLiteral("/out/Band")).isDir());
        QFile file(out.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void missingParentIsNeverCreated()
    {
        const QString base = testEnv().makeDir(QStringLiteral("missing"));
        storeSettings(base + QStringLiteral("/new/rips"), 3, 0, {});
        const OutputPath out = plan({QStringLiteral("Song"), 1, QStringLiteral("Band"), {}});
        createDirectoryLevel(base + QStringLiteral("/new/rips"));
        createDirectoryLevels(out.directories);
        createDirectoryLevel(out.directory);
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/new")));
        QFile file(out.path);
        QVERIFY(!file.open(QIODevice::WriteOnly));
    }
};

HARVELO_TEST_MAIN(TestOutputNaming, QCoreApplication)
#include "tst_output_naming.moc"
