#include "tests/support/test_env.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString kResources = QStringLiteral(HARVELO_RESOURCES);
const QString kIconName = QStringLiteral("io.github.harvelo.Harvelo");

QString resource(const QString &name)
{
    return QDir(kResources).filePath(name);
}

// A manual page's text with groff's escaped minus signs as plain ones.
QString manSource(const QString &name)
{
    return QString::fromUtf8(fileBytes(resource(QStringLiteral("man/") + name))).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

// The long options a --help text lists ("--normalize <RATIO>" gives "--normalize").
QStringList longOptions(const QString &help)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("(?:^|[\\s\\[,])(--[a-z][a-z-]*)"));
    for (auto it = option.globalMatch(help); it.hasNext();)
        options << it.next().captured(1);
    options.removeAll(QStringLiteral("--help"));
    options.removeAll(QStringLiteral("--help-all"));
    options.removeDuplicates();
    return options;
}

// The commands listed under "Commands:" of harvelo-cli --help.
QStringList cliCommands(const QString &help)
{
    QStringList commands;
    static const QRegularExpression line(QStringLiteral("^  ([a-z]+)  "), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(help.section(QStringLiteral("Commands:"), 1)); it.hasNext();)
        commands << it.next().captured(1);
    return commands;
}

} // namespace

class TestDesktopFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The desktop's own validators accept the files, and groff renders the manual pages
    // without a warning.
    void validates_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList{resource(kIconName + ".desktop")};
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList{"validate", "--no-net", resource(kIconName + ".metainfo.xml")};
        for (const char *page : {"harvelo.1", "harvelo-cli.1"})
            QTest::newRow(page) << "groff" << QStringList{"-man", "-ww", "-z", resource(QStringLiteral("man/") + page)};
    }

    void validates()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const ProcessResult r = runProgram(program, arguments);
        QVERIFY2(r.status == 0, (r.out + r.err).constData());
        // desktop-file-validate and groff say nothing when all is well; appstreamcli only
        // counts pedantic remarks.
        if (program != QLatin1String("appstreamcli"))
            QVERIFY2(r.out.isEmpty() && r.err.isEmpty(), (r.out + r.err).constData());
    }

    // Every command and option of the programs' --help is in their manual page.
    void manPagesCoverHelp_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("command");
        QTest::newRow("harvelo") << "harvelo.1" << HARVELO_APP << "";
        const QString help = QString::fromUtf8(runProgram(HARVELO_CLI, {"--help"}).out);
        const QStringList commands = cliCommands(help);
        QVERIFY(commands.size() >= 6);
        for (const QString &command : commands)
            QTest::newRow(qPrintable("harvelo-cli " + command)) << "harvelo-cli.1" << HARVELO_CLI << command;
    }

    void manPagesCoverHelp()
    {
        QFETCH(QString, page);
        QFETCH(QString, program);
        QFETCH(QString, command);
        const QStringList args = command.isEmpty() ? QStringList{"--help"} : QStringList{command, "--help"};
        const ProcessResult r = runProgram(program, args);
        QCOMPARE(r.status, 0);
        const QString man = manSource(page);
        if (!command.isEmpty())
            QVERIFY2(man.contains(QStringLiteral(".B ") + command), qPrintable(command));
        const QStringList options = longOptions(QString::fromUtf8(r.out));
        for (const QString &option : options)
            QVERIFY2(man.contains(option), qPrintable(option + " not in " + page));
    }

    // The icon the desktop entry names exists at every size in the hicolor layout, at that
    // size, and as a scalable SVG.
    void iconTheme()
    {
        QSettings entry(resource(kIconName + ".desktop"), QSettings::IniFormat);
        QCOMPARE(entry.value("Desktop Entry/Icon").toString(), kIconName);
        const QDir hicolor(QStringLiteral(HARVELO_ICONS "/hicolor"));
        for (int side : {16, 32, 48, 64, 128, 256}) {
            const QImage icon(hicolor.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(side).arg(kIconName)));
            QCOMPARE(icon.size(), QSize(side, side));
            QVERIFY(icon.hasAlphaChannel());
            QCOMPARE(icon.pixelColor(0, 0).alpha(), 0); // a rounded plate, transparent corners
            QCOMPARE(icon.pixelColor(side / 2, side / 2).alpha(), 255);
        }
        QXmlStreamReader svg(fileBytes(hicolor.filePath("scalable/apps/" + kIconName + ".svg")));
        QVERIFY(svg.readNextStartElement());
        QCOMPARE(svg.name(), QStringLiteral("svg"));
        while (!svg.atEnd())
            svg.readNext();
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    }
};

HARVELO_TEST_MAIN(TestDesktopFiles, QGuiApplication)
#include "tst_desktop_files.moc"
