#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>

namespace {

ProcessResult runCli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI_PATH), args);
}

// What a file says to an independent reader: the bytes, or for OGG (whose stream serial
// number is random) the decoded samples.
QByteArray contentOf(const QString &path)
{
    // Ogg streams carry a random serial number: their audio is compared.
    if (!path.endsWith(QLatin1String(".ogg")) && !path.endsWith(QLatin1String(".opus")))
        return fileBytes(path);
    const std::vector<int16_t> samples = decodeWithFfmpeg(path);
    return QByteArray(reinterpret_cast<const char *>(samples.data()),
                      qsizetype(samples.size() * sizeof(int16_t)));
}

} // namespace

class TestCliBatchConvert : public QObject {
    Q_OBJECT

private slots:
    void init();
    void workersWriteWhatOneWorkerWrites_data();
    void workersWriteWhatOneWorkerWrites();
    void failuresArePerFile_data();
    void failuresArePerFile();

private:
    QStringList convertAll(const QString &format, const QString &jobs, const QString &dirName,
                           ProcessResult *result);

    QDir m_dir;
    QStringList m_inputs;
};

void TestCliBatchConvert::init()
{
    testEnv().clearIni();
    m_dir = QDir(testEnv().makeDir(QStringLiteral("batch")));
    m_inputs.clear();
    // Different lengths and tunes, so that the workers finish out of order.
    for (int i = 0; i < 5; ++i) {
        const QString path = m_dir.filePath(QStringLiteral("song%1.wav").arg(i));
        QVERIFY(writeSineWav(path, {0.2 + 0.15 * (4 - i), 44100, 2, 220.0 * (i + 1), 0.3}));
        m_inputs << path;
    }
}

// Converts every input into a new directory; the targets written, in name order.
QStringList TestCliBatchConvert::convertAll(const QString &format, const QString &jobs,
                                            const QString &dirName, ProcessResult *result)
{
    const QString out = m_dir.filePath(dirName);
    QDir().mkpath(out);
    *result = runCli(QStringList{QStringLiteral("convert"), QStringLiteral("--output-dir"), out,
                                 QStringLiteral("--format"), format, QStringLiteral("-j"), jobs}
                     + m_inputs);
    QStringList targets;
    for (const QString &name : QDir(out).entryList(QDir::Files, QDir::Name))
        targets << QDir(out).filePath(name);
    return targets;
}

void TestCliBatchConvert::workersWriteWhatOneWorkerWrites_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("prefix"); // put before every input's name
    for (const char *format : {"mp3", "ogg", "wma", "flac", "opus"})
        QTest::newRow(format) << format << QStringLiteral(".") + QLatin1String(format) << QString();
    QTest::newRow("wav") << "wav" << "_NOM.wav" << QString();
    // Names that differ only past the first 240 bytes, where a temporary name is cut.
    const QString alike(236, QLatin1Char('a'));
    QTest::newRow("wav, names alike in their first 240 bytes") << "wav" << "_NOM.wav" << alike;
    QTest::newRow("mp3, names alike in their first 240 bytes") << "mp3" << ".mp3" << alike;
}

void TestCliBatchConvert::workersWriteWhatOneWorkerWrites()
{
    QFETCH(QString, format);
    QFETCH(QString, suffix);
    QFETCH(QString, prefix);
    for (QString &input : m_inputs) {
        const QString renamed = m_dir.filePath(prefix + QFileInfo(input).fileName());
        QVERIFY(input == renamed || QFile::rename(input, renamed));
        input = renamed;
    }
    ProcessResult result;
    const QStringList one = convertAll(format, QStringLiteral("1"), QStringLiteral("one"), &result);
    QCOMPARE(result.status, 0);
    const QStringList three = convertAll(format, QStringLiteral("3"), QStringLiteral("three"), &result);
    QCOMPARE(result.status, 0);
    QVERIFY(result.err.isEmpty());
    QCOMPARE(one.size(), m_inputs.size());
    QCOMPARE(three.size(), m_inputs.size());
    for (int i = 0; i < m_inputs.size(); ++i) {
        QCOMPARE(QFileInfo(three[i]).fileName(), QFileInfo(m_inputs[i]).completeBaseName() + suffix);
        QVERIFY(probeAudio(three[i]).ok);
        QVERIFY2(contentOf(one[i]) == contentOf(three[i]), qPrintable(three[i]));
    }
}

void TestCliBatchConvert::failuresArePerFile_data()
{
    QTest::addColumn<QString>("extra");      // a bad input added after the second good one
    QTest::addColumn<QByteArray>("message"); // in the one error line
    QTest::newRow("not audio") << "junk.wav" << QByteArray("junk.wav is not a valid file!");
    QTest::newRow("missing") << "gone.wav" << QByteArray("gone.wav is not a valid file!");
    QTest::newRow("same target") << "sub/song1.wav" << QByteArray("is also the target of");
}

void TestCliBatchConvert::failuresArePerFile()
{
    QFETCH(QString, extra);
    QFETCH(QByteArray, message);
    QVERIFY(writeFileBytes(m_dir.filePath(QStringLiteral("junk.wav")), "not a wave file"));
    QVERIFY(m_dir.mkpath(QStringLiteral("sub")));
    QVERIFY(writeSineWav(m_dir.filePath(QStringLiteral("sub/song1.wav")), {0.2}));
    m_inputs.insert(2, m_dir.filePath(extra));
    ProcessResult result;
    const QStringList written = convertAll(QStringLiteral("mp3"), QStringLiteral("2"),
                                           QStringLiteral("out"), &result);
    QCOMPARE(result.status, 1);
    // Every good input is converted; the bad one gets one line that names it.
    QCOMPARE(written.size(), 5);
    const QList<QByteArray> lines = result.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains(message) && lines[0].contains(extra.toUtf8()), lines[0].constData());
}

HARVELO_TEST_MAIN(TestCliBatchConvert, QCoreApplication)
#include "tst_cli_batch_convert.moc"
