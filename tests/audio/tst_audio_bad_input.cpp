#include "audio/audio_file.h"
#include "tests/audio/audio_test_util.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QStringList kExtensions{QStringLiteral("wav"), QStringLiteral("mp3"), QStringLiteral("ogg"),
                              QStringLiteral("wma")};

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(generator.generate() & 0xff);
    return bytes;
}

// A valid file of each extension, made by the component itself.
QString validFile(const QDir &dir, const QString &ext)
{
    const QString source = dir.filePath(QStringLiteral("valid_source.wav"));
    const QString target = dir.filePath(QStringLiteral("valid.") + ext);
    if (!QFileInfo::exists(target)) {
        writeSineWav(source, {2.0, 44100, 2});
        AudioFile writer;
        writer.setWmaFormatEnabled(true);
        convertWithAudioFile(source, writer, target);
    }
    return target;
}

} // namespace

class TestAudioBadInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedAtOpen_data();
    void refusedAtOpen();
    void cutShortMidStream_data();
    void cutShortMidStream();
    void diskFull_data();
    void diskFull();
    void nothingOpen();
    void headerOnlyWavIsEmptyNotBad();

private:
    QDir m_dir;
};

void TestAudioBadInput::initTestCase()
{
    m_dir = QDir(testEnv().makeDir(QStringLiteral("bad")));
}

void TestAudioBadInput::refusedAtOpen_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("kind");
    const QStringList kinds{QStringLiteral("empty"), QStringLiteral("three bytes"),
                            QStringLiteral("header cut"), QStringLiteral("random"),
                            QStringLiteral("random large"), QStringLiteral("text"),
                            QStringLiteral("other format"), QStringLiteral("missing"),
                            QStringLiteral("directory")};
    for (const QString &ext : kExtensions)
        for (const QString &kind : kinds)
            QTest::addRow("%s %s", qPrintable(ext), qPrintable(kind)) << ext << kind;
}

// Files no reader can make sense of are refused at OpenFile with an error code and leave
// nothing open.
void TestAudioBadInput::refusedAtOpen()
{
    QFETCH(QString, ext);
    QFETCH(QString, kind);
    const QString path = m_dir.filePath(kind + QLatin1Char('.') + ext);
    QFile::remove(path);
    QDir(path).removeRecursively();
    if (kind == QLatin1String("empty"))
        QVERIFY(writeFileBytes(path, {}));
    else if (kind == QLatin1String("three bytes"))
        QVERIFY(writeFileBytes(path, fileBytes(validFile(m_dir, ext)).left(3)));
    else if (kind == QLatin1String("header cut"))
        QVERIFY(writeFileBytes(path, fileBytes(validFile(m_dir, ext)).left(40)));
    else if (kind == QLatin1String("random"))
        QVERIFY(writeFileBytes(path, randomBytes(4096, 7)));
    else if (kind == QLatin1String("random large"))
        QVERIFY(writeFileBytes(path, randomBytes(300000, 11)));
    else if (kind == QLatin1String("text"))
        QVERIFY(writeFileBytes(path, QByteArray("RIFF? ID3? OggS? just a note\n").repeated(50)));
    else if (kind == QLatin1String("other format"))
        QVERIFY(writeFileBytes(path, fileBytes(validFile(m_dir, ext == QLatin1String("ogg") ? QStringLiteral("wma") : QStringLiteral("ogg")))));
    else if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path));

    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(path, 0, 1);
    QVERIFY(reader.ErrorCode() != 0);
    QCOMPARE(reader.SampleCount(), 0);
    const SampleBlock block = reader.ReadBlock(88200);
    QVERIFY(block.isEmpty());
    QVERIFY(reader.ErrorCode() != 0);
    reader.CloseFile();
}

void TestAudioBadInput::cutShortMidStream_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<double>("keep"); // share of the file kept
    for (const QString &ext : kExtensions) {
        for (double keep : {0.3, 0.77}) {
            QTest::addRow("%s %.0f%%", qPrintable(ext), keep * 100) << ext << keep;
        }
    }
}

// A file cut off in the middle of its audio is either refused or read to a shorter end; the
// reader never runs past what is there.
void TestAudioBadInput::cutShortMidStream()
{
    QFETCH(QString, ext);
    QFETCH(double, keep);
    const QByteArray whole = fileBytes(validFile(m_dir, ext));
    const QString path = m_dir.filePath(QStringLiteral("cut.") + ext);
    QVERIFY(writeFileBytes(path, whole.left(int(whole.size() * keep))));

    const ReadResult result = readWithAudioFile(path);
    if (result.error == 0 || !result.samples.empty()) {
        QVERIFY(result.channels > 0);
        const int64_t frames = int64_t(result.samples.size()) / result.channels;
        QVERIFY2(frames < int64_t(2.0 * 44100 * (keep + 0.1)), qPrintable(QString::number(frames)));
    }
}

void TestAudioBadInput::diskFull_data()
{
    QTest::addColumn<QString>("ext");
    for (const QString &ext : kExtensions)
        QTest::newRow(qPrintable(ext)) << ext;
}

// Writing to a full disk is an error, reported by WriteBlock or at the latest by CloseFile.
void TestAudioBadInput::diskFull()
{
    QFETCH(QString, ext);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    const QString path = m_dir.filePath(QStringLiteral("full.") + ext);
    QFile::remove(path);
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    writer.CreateFile(path, 0);
    bool failed = writer.ErrorCode() != 0;
    for (int i = 0; i < 3 && !failed; ++i) {
        SampleBlock block(sineSamples({1.0, 44100, 2}), 44100, 2);
        writer.WriteBlock(block);
        failed = writer.ErrorCode() != 0;
    }
    writer.CloseFile();
    QVERIFY(failed || writer.ErrorCode() != 0);
}

void TestAudioBadInput::nothingOpen()
{
    AudioFile file;
    file.CloseFile();
    QVERIFY(file.ReadBlock(100).isEmpty());
    QVERIFY(file.ErrorCode() != 0);
    SampleBlock block(sineSamples({0.1, 44100, 2}), 44100, 2);
    file.WriteBlock(block);
    QVERIFY(file.ErrorCode() != 0);
    QCOMPARE(file.SampleCount(), 0);
}

// A WAV with a header and no samples is a valid, empty input: the jobs end it after one pass.
void TestAudioBadInput::headerOnlyWavIsEmptyNotBad()
{
    const QString path = m_dir.filePath(QStringLiteral("header_only.wav"));
    QVERIFY(writeWav(path, {}, 44100, 2));
    AudioFile reader;
    reader.OpenFile(path, 0, 1);
    QCOMPARE(reader.ErrorCode(), 0);
    QCOMPARE(reader.SampleCount(), 0);
    QCOMPARE(reader.SamplesPerFrame(), 2);
    QVERIFY(reader.ReadBlock(88200).isEmpty());
    QCOMPARE(reader.ErrorCode(), 0);
}

HARVELO_TEST_MAIN(TestAudioBadInput, QCoreApplication)
#include "tst_audio_bad_input.moc"
