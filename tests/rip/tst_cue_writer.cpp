#include "disc/disc_codes.h"
#include "disc/image/cd_image.h"
#include "jobs/part_file.h"
#include "rip/cue_writer.h"
#include "rip/output_naming.h"
#include "rip/rip_log.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QtTest>

#include <dlfcn.h>
#include <libcue.h>

namespace {

// libcue's own reading of a sheet: the disc's PERFORMER and TITLE and track 1's TITLE. libcdio
// exports a cdtext_get of its own, which the process would call by that name: libcue's is
// taken from libcue itself.
QStringList libcueNames(const QByteArray &sheet)
{
    using CdtextGet = const char *(*)(enum Pti, const Cdtext *);
    void *libcue = dlopen("libcue.so.2", RTLD_LAZY | RTLD_NOLOAD);
    const auto get = libcue ? reinterpret_cast<CdtextGet>(dlsym(libcue, "cdtext_get")) : nullptr;
    Cd *cd = get ? cue_parse_string(sheet.constData()) : nullptr;
    QStringList names;
    if (cd) {
        const auto text = [get](enum Pti pti, const Cdtext *cdtext) { return QString::fromUtf8(get(pti, cdtext)); };
        names << text(PTI_PERFORMER, cd_get_cdtext(cd)) << text(PTI_TITLE, cd_get_cdtext(cd))
              << text(PTI_TITLE, track_get_cdtext(cd_get_track(cd, 1)));
        cd_delete(cd);
    }
    if (libcue)
        dlclose(libcue);
    return names;
}

} // namespace

// The rip's cue sheet read back by our cue reader and by libcue, whatever the names hold.
class TestCueWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesReadBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("read");   // by our cue reader
        QTest::addColumn<QString>("libcue"); // by libcue itself
        QTest::newRow("plain") << "Song" << "Song" << "Song";
        // libcue would take the closing quote for an escaped one and read on.
        QTest::newRow("closing backslash") << "Back\\" << "Back\\" << "Back\\ ";
        QTest::newRow("backslashes inside") << "a\\b\\\\c" << "a\\b\\\\c" << "a\\b\\\\c";
        QTest::newRow("double quotes") << "Say \"hi\"" << "Say 'hi'" << "Say 'hi'";
        QTest::newRow("quote, backslash") << "\"\\" << "'\\" << "'\\ ";
        QTest::newRow("carriage return") << "A\rB" << "A\u240DB" << "A\u240DB";
        QTest::newRow("line breaks") << "A\r\nTRACK 09 AUDIO\nB" << "A\u240D\u240ATRACK 09 AUDIO\u240AB"
                                     << "A\u240D\u240ATRACK 09 AUDIO\u240AB";
        QTest::newRow("tab, double blanks") << "a\t b  c" << "a\u2409 b  c" << "a\u2409 b  c";
        QTest::newRow("surrounding blanks") << "  x  " << "x" << "  x  ";
        QTest::newRow("NUL, escape") << QString::fromUtf8("a\0b\x1b[0m", 7) << "a\u2400b\u241B[0m"
                                     << "a\u2400b\u241B[0m";
        QTest::newRow("C1, line separator") << "a\u0085b\u2028c" << "a\uFFFDb\uFFFDc" << "a\uFFFDb\uFFFDc";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("letters and marks") << "Ålbum – “x” it's" << "Ålbum – “x” it's" << "Ålbum – “x” it's";
    }
    // Each name is the artist, the album and track 1's title, and part of both files' names:
    // the sheet must read back with its files found and the names as the row gives them.
    void namesReadBack()
    {
        QFETCH(QString, name);
        const QString dir = testEnv().makeDir(QStringLiteral("names"));
        RipReport report;
        report.toc.tracks = {{1, 0, 10, true}, {2, 10, 10, true}};
        report.toc.leadoutLsn = 20;
        report.artist = report.album = name;
        const QStringList replacements{"#", "&", "#", "=", "#", "#", "#", "(", ")"};
        for (int n = 1; n <= 2; ++n) {
            const QString file = fittedName(QStringLiteral("%1-").arg(n) + cleanName(name, replacements), ".wav");
            report.tracks.append({n, dir + QLatin1Char('/') + file, n == 1 ? name : QStringLiteral("Two"), {}, 0, {}, {}});
            QVERIFY(writeSineWav(report.tracks.last().path, {10 * 588 / 44100.0}));
        }
        const QByteArray sheet = cueSheetText(report, DiscCodes{}, dir).toUtf8();
        QString error;
        const auto layout = readCueSheet(sheet, dir, &error);
        QVERIFY2(layout, qPrintable(error + QLatin1Char('\n') + QString::fromUtf8(sheet)));
        QCOMPARE(layout->toc.tracks.size(), size_t(2));
        QTEST(layout->text.artist, "read");
        QTEST(layout->text.album, "read");
        QTEST(layout->text.titles.value(0), "read");
        QCOMPARE(layout->text.titles.value(0), cueSheetName(name));
        QCOMPARE(layout->text.titles.value(1), QStringLiteral("Two"));
        QFETCH(QString, libcue);
        QCOMPARE(libcueNames(sheet), (QStringList{libcue, libcue, libcue}));
    }
};

HARVELO_TEST_MAIN(TestCueWriter, QCoreApplication)
#include "tst_cue_writer.moc"
