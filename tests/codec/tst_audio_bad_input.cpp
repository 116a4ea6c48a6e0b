#include "codec/audio_file.h"
#include "codec/conversion_block.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>
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

// The CRC of an Ogg page (polynomial 0x04c11db7, no reflection), over the page with its CRC
// field zeroed.
quint32 oggPageCrc(const QByteArray &page)
{
    quint32 crc = 0;
    for (int i = 0; i < page.size(); ++i) {
        crc ^= quint32(i >= 22 && i < 26 ? 0 : uchar(page[i])) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// An Ogg Vorbis file whose identification header claims another rate; the page CRC is mended
// so that only the value is strange.
QByteArray withVorbisRate(QByteArray ogg, quint32 rate)
{
    const int segments = uchar(ogg[26]);
    int pageSize = 27 + segments;
    for (int i = 0; i < segments; ++i)
        pageSize += uchar(ogg[27 + i]);
    const int packet = 27 + segments;
    if (!ogg.startsWith("OggS") || ogg.mid(packet, 7) != QByteArray("\x01vorbis"))
        qFatal("not an Ogg Vorbis file");
    qToLittleEndian<quint32>(rate, reinterpret_cast<uchar *>(ogg.data()) + packet + 12);
    qToLittleEndian<quint32>(oggPageCrc(ogg.left(pageSize)), reinterpret_cast<uchar *>(ogg.data()) + 22);
    return ogg;
}

// An Ogg Vorbis file of 0.2 s in `channels` channels, made by sox (our own writer is not meant
// for more channels than a reader takes).
bool writeOggOfChannels(const QString &path, int channels)
{
    QProcess sox;
    sox.start(QStringLiteral("sox"), {QStringLiteral("-n"), QStringLiteral("-c"), QString::number(channels),
                                      QStringLiteral("-r"), QStringLiteral("44100"), path,
                                      QStringLiteral("synth"), QStringLiteral("0.2"),
                                      QStringLiteral("sine"), QStringLiteral("440")});
    return sox.waitForFinished(60000) && sox.exitStatus() == QProcess::NormalExit
        && sox.exitCode() == 0;
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
    void absurdHeaderValues_data();
    void absurdHeaderValues();
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

void TestAudioBadInput::absurdHeaderValues_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<quint32>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("accepted");
    for (const QString &ext : {QStringLiteral("wav"), QStringLiteral("ogg")}) {
        const QByteArray name = ext.toLatin1();
        const char *e = name.constData();
        QTest::addRow("%s 1 Hz", e) << ext << 1u << 2 << false;
        QTest::addRow("%s 999 Hz", e) << ext << 999u << 2 << false;
        QTest::addRow("%s 1000 Hz", e) << ext << 1000u << 2 << true;
        QTest::addRow("%s 384000 Hz", e) << ext << 384000u << 2 << true;
        QTest::addRow("%s 384001 Hz", e) << ext << 384001u << 2 << false;
        QTest::addRow("%s 1.5 GHz", e) << ext << 1500000000u << 2 << false;
        QTest::addRow("%s 2^31 Hz", e) << ext << 0x80000000u << 2 << false;
        QTest::addRow("%s 2^32-1 Hz", e) << ext << 0xffffffffu << 1 << false;
    }
    QTest::newRow("ogg 8 channels") << QStringLiteral("ogg") << 44100u << 8 << true;
    QTest::newRow("ogg 9 channels") << QStringLiteral("ogg") << 44100u << 9 << false;
    QTest::newRow("ogg 16 channels") << QStringLiteral("ogg") << 44100u << 16 << false;
}

// Header values no real audio has are refused at OpenFile, before anything sizes a buffer or
// a block from them; the edges of the range still open.
void TestAudioBadInput::absurdHeaderValues()
{
    QFETCH(QString, ext);
    QFETCH(quint32, rate);
    QFETCH(int, channels);
    QFETCH(bool, accepted);
    const QString path = m_dir.filePath(QStringLiteral("absurd.") + ext);
    if (ext == QLatin1String("wav")) {
        QVERIFY(writeWavClaimingRate(path, rate, channels));
    } else {
        QVERIFY(writeOggOfChannels(path, channels));
        if (rate != 44100)
            QVERIFY(writeFileBytes(path, withVorbisRate(fileBytes(path), rate)));
    }
    AudioFile reader;
    reader.OpenFile(path, 0, 1);
    if (!accepted) {
        QCOMPARE(reader.ErrorCode(), int(AudioError::UnknownFormat));
        QCOMPARE(reader.SampleCount(), 0);
        QVERIFY(reader.ReadBlock(88200).isEmpty());
        return;
    }
    QCOMPARE(reader.ErrorCode(), 0);
    QCOMPARE(quint32(reader.SampleRate()), rate);
    QCOMPARE(reader.Channels(), channels);
    QVERIFY(reader.SampleCount() > 0);
    // The whole 0.2 s comes in one block, whatever rate the header claims.
    QCOMPARE(reader.ReadBlock(conversionBlockSamples(reader)).size(),
             int(reader.SampleCount()) * channels);
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
