#include "settings/ini_file.h"
#include "settings/settings_keys.h"
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
            << "/a#...wav" << none;

        // Control characters from any source are dropped from file and folder names.
        QTest::newRow("controls in title") << 0 << 0 << Replacements{} << "" << ""
            << "A\nB\x1b[31mC\aD\x7f\tE\r" << 1 << "/AB[31mCDE.mp3" << none;
        QTest::newRow("controls in folders") << 5 << 3 << Replacements{} << "Ba\x01nd\n"
            << "\x1f" "Al\x7f" << "So\x02ng" << 1 << "/Band/Al/Song.ogg"
            << QStringList{"", "/Band", "/Band/Al"};
        QTest::newRow("only controls") << 3 << 0 << Replacements{} << "\n\r\t" << ""
            << "Song" << 1 << "//Song.mp3" << QStringList{"", "/"};
        // A title that names nothing would make the hidden file ".wav": named as untitled.
        QTest::newRow("title of controls only") << 0 << 1 << Replacements{} << "" << ""
            << QString(QChar(u'\0')) + "\x01" << 3 << "/Track3.wav" << none;
        QTest::newRow("controls hiding ..") << 3 << 0 << Replacements{} << ".\x01." << ""
            << "Song" << 1 << "/##/Song.mp3" << QStringList{"", "/##"};
        QTest::newRow("replacement is a control") << 0 << 0 << Replacements{{3, "\n"}} << ""
            << "" << "a:b" << 1 << "/ab.mp3" << none;
        QTest::newRow("DEL neighbours kept") << 0 << 1 << Replacements{} << "" << ""
            << QString::fromUtf8("~\x7f\u0080\u00e9") << 1 << QString::fromUtf8("/~\u0080\u00e9.wav")
            << none;
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

    void longNames_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("names"); // each level below the output directory

        const auto rep = [](const QString &unit, int times) { return unit.repeated(times); };
        const QString cjk = QStringLiteral("\u97f3");                  // 3 bytes of UTF-8
        const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xB5");    // 4 bytes, a surrogate pair
        const QString accented = QStringLiteral("e\u0301");           // 3 bytes, one character
        QTest::newRow("ascii keeps extension") << 0 << 0 << "" << rep("x", 10000)
            << QStringList{rep("x", 251) + ".mp3"};
        QTest::newRow("exactly 255 untouched") << 0 << 1 << "" << rep("x", 251)
            << QStringList{rep("x", 251) + ".wav"};
        QTest::newRow("no extension") << 0 << 9 << "" << rep("x", 300) << QStringList{rep("x", 255)};
        QTest::newRow("3-byte letters") << 0 << 0 << "" << rep(cjk, 10000)
            << QStringList{rep(cjk, 83) + ".mp3"};
        QTest::newRow("pairs not split") << 0 << 3 << "" << rep(emoji, 1000)
            << QStringList{rep(emoji, 62) + ".ogg"};
        QTest::newRow("accents stay on their letter") << 0 << 0 << "" << rep(accented, 200)
            << QStringList{rep(accented, 83) + ".mp3"};
        QTest::newRow("one letter, endless accents") << 0 << 1 << ""
            << "a" + rep(QStringLiteral("\u0301"), 1000)
            << QStringList{"a" + rep(QStringLiteral("\u0301"), 125) + ".wav"};
        QTest::newRow("stem of title and artist") << 1 << 0 << rep("y", 200) << rep("x", 200)
            << QStringList{rep("x", 200) + "-" + rep("y", 50) + ".mp3"};
        QTest::newRow("folder and number") << 4 << 2 << rep(cjk, 300) << rep("x", 300)
            << QStringList{rep(cjk, 85), "7-" + rep("x", 249) + ".wma"};
        QTest::newRow("cut after cleaning") << 3 << 0 << rep("a:", 200) << "Song"
            << QStringList{rep("a=", 127) + "a", "Song.mp3"};
    }
    // A name of any length gives names the file system takes: each level at most 255 bytes
    // of UTF-8, the extension kept, no character split.
    void longNames()
    {
        QFETCH(int, rule);
        QFETCH(int, type);
        QFETCH(QString, artist);
        QFETCH(QString, title);
        QFETCH(QStringList, names);
        const QString dir = QStringLiteral("/music/rips");
        storeSettings(dir, rule, type, {});
        const OutputPath out = plan({title, 7, artist, QStringLiteral("Album")});
        QCOMPARE(out.path, dir + QLatin1Char('/') + names.join(QLatin1Char('/')));
        for (const QString &name : names) {
            QVERIFY(name.toUtf8().size() <= 255);
            QVERIFY(name.isValidUtf16());
        }
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
