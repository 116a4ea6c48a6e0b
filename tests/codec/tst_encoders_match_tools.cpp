#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cstdint>

namespace {

// Two seconds of a chord over noise: a steady tone alone hides how the encoder was fed.
std::vector<int16_t> musicLike()
{
    std::vector<int16_t> samples;
    uint32_t seed = 12345;
    for (int i = 0; i < 2 * 44100; ++i) {
        const double t = i / 44100.0;
        const double chord = std::sin(2 * M_PI * 220 * t) + std::sin(2 * M_PI * 277 * t)
            + std::sin(2 * M_PI * 330 * t);
        for (int c = 0; c < 2; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = int32_t(seed >> 16) / 32768.0 - 1.0;
            samples.push_back(int16_t(3000 * chord + 4000 * noise));
        }
    }
    return samples;
}

} // namespace

// harvelo-cli with the default settings sets up and feeds LAME, libvorbis, libFLAC and
// libopusenc as their own command-line tools do at the same settings: the decoded sound is the
// same, sample for sample.
class TestEncodersMatchTools : public QObject {
    Q_OBJECT

private slots:
    void sameSoundAsTheTool_data();
    void sameSoundAsTheTool();
};

void TestEncodersMatchTools::sameSoundAsTheTool_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("toolArgs"); // IN and OUT stand for the files
    QTest::newRow("mp3 cbr 128") << "mp3" << "lame"
                                 << QStringList{"--quiet", "-b", "128", "--cbr", "IN", "OUT"};
    QTest::newRow("ogg average 128") << "ogg" << "oggenc"
                                     << QStringList{"-Q", "-b", "128", "-o", "OUT", "IN"};
    QTest::newRow("flac -5") << "flac" << "flac" << QStringList{"-s", "-5", "-o", "OUT", "IN"};
    QTest::newRow("opus vbr 160") << "opus" << "opusenc"
                                  << QStringList{"--quiet", "--bitrate", "160", "IN", "OUT"};
}

void TestEncodersMatchTools::sameSoundAsTheTool()
{
    QFETCH(QString, ext);
    QFETCH(QString, tool);
    QFETCH(QStringList, toolArgs);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP("the reference tool is not installed");
    testEnv().clearIni();
    const QDir dir(testEnv().makeDir(QStringLiteral("match-") + ext));
    const QString input = dir.filePath(QStringLiteral("in.wav"));
    const QString ours = dir.filePath(QStringLiteral("ours.") + ext);
    const QString theirs = dir.filePath(QStringLiteral("theirs.") + ext);
    QVERIFY(writeWav(input, musicLike(), 44100, 2));
    QCOMPARE(runProgram(QStringLiteral(HARVELO_CLI_PATH), {QStringLiteral("convert"), input, ours}).status, 0);
    toolArgs.replaceInStrings(QRegularExpression(QStringLiteral("^IN$")), input);
    toolArgs.replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), theirs);
    QCOMPARE(runProgram(QStandardPaths::findExecutable(tool), toolArgs).status, 0);
    const std::vector<int16_t> a = decodeWithFfmpeg(ours), b = decodeWithFfmpeg(theirs);
    QVERIFY(!a.empty());
    QCOMPARE(a.size(), b.size());
    QVERIFY(a == b);
}

HARVELO_TEST_MAIN(TestEncodersMatchTools, QCoreApplication)
#include "tst_encoders_match_tools.moc"
