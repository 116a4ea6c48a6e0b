#include "skin/base/skin_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <QtTest>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// 45 small pictures, each of its own colour, so a slot mix-up shows.
SkinFile::Images samplePictures()
{
    SkinFile::Images images;
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
        images[slot] = QImage(3 + slot % 4, 2 + slot % 3, QImage::Format_RGB32);
        images[slot].fill(QColor(slot * 5, 255 - slot * 5, (slot * 37) % 256));
    }
    return images;
}

qint64 trailerStart(const QByteArray &skin)
{
    return skin.size() - SkinFile::TrailerSize;
}

void putWord(QByteArray &skin, qint64 offset, qint32 value)
{
    qToLittleEndian<qint32>(value, reinterpret_cast<uchar *>(skin.data()) + offset);
}

qint32 word(const QByteArray &skin, qint64 offset)
{
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar *>(skin.constData()) + offset);
}

QString writeTemp(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(testEnv().makeDir(QStringLiteral("skins"))).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A run-length-encoded 8-bit BMP that claims width x height and holds only its end code: some
// sixty bytes that decode to a picture of any size.
QByteArray rleBitmap(qint32 width, qint32 height)
{
    QByteArray info(40, '\0');
    putWord(info, 0, 40);
    putWord(info, 4, width);
    putWord(info, 8, height);
    qToLittleEndian<quint16>(1, reinterpret_cast<uchar *>(info.data()) + 12);
    qToLittleEndian<quint16>(8, reinterpret_cast<uchar *>(info.data()) + 14);
    putWord(info, 16, 1); // BI_RLE8
    putWord(info, 20, 2);
    putWord(info, 32, 1); // one palette entry
    const QByteArray palette("\x40\x80\xc0\x00", 4);
    const QByteArray pixels("\x00\x01", 2); // end of bitmap
    QByteArray file("BM");
    file += QByteArray(12, '\0');
    putWord(file, 2, qint32(14 + info.size() + palette.size() + pixels.size()));
    putWord(file, 10, qint32(14 + info.size() + palette.size()));
    return file + info + palette + pixels;
}

// A skin from 45 complete BMP file images, with a trailer as the skin maker writes it.
QByteArray assembleSkin(const QList<QByteArray> &bitmaps)
{
    QByteArray out;
    QByteArray trailer(SkinFile::TrailerSize, '\0');
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
        putWord(trailer, 8 * slot, qint32(out.size()));
        putWord(trailer, 8 * slot + 4, qint32(bitmaps.at(slot).size()));
        out += bitmaps.at(slot);
    }
    return out + trailer;
}

// The sample skin with one slot replaced.
QByteArray skinWithSlot(int slot, const QByteArray &bitmap)
{
    const SkinFile::Images pictures = samplePictures();
    QList<QByteArray> bitmaps;
    for (const QImage &picture : pictures)
        bitmaps.append(SkinFile::bmpImage(picture));
    bitmaps[slot] = bitmap;
    return assembleSkin(bitmaps);
}

qint64 procStatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

struct ChildRead {
    int error = -1;
    qint64 peakGrowthKb = -1;
};

// Reads a skin in a child process and reports the error and how far the peak resident memory
// rose above what the child started with. Outside the address sanitizer (which reserves huge
// address space) a limit on the address space keeps an old, greedy reader from hurting the
// machine.
ChildRead readInChild(const QByteArray &skin)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
#if !defined(__SANITIZE_ADDRESS__)
        const rlim_t limit = rlim_t(procStatusKb("VmSize:") + 1024 * 1024) * 1024;
        const rlimit as{limit, limit};
        setrlimit(RLIMIT_AS, &as);
#endif
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5"); // starts the peak afresh from the current size
        clear.close();
        const qint64 before = procStatusKb("VmRSS:");
        ChildRead out;
        out.error = int(SkinFile::fromData(skin).error);
        out.peakGrowthKb = procStatusKb("VmHWM:") - before;
        const bool sent = ::write(fds[1], &out, sizeof out) == ssize_t(sizeof out);
        _exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    ChildRead in;
    if (pid < 0 || ::read(fds[0], &in, sizeof in) != ssize_t(sizeof in))
        in = ChildRead{};
    ::close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return in;
}

} // namespace

class TestSkinFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void encodesBitmapsAndTrailer()
    {
        const QByteArray skin = SkinFile::encode(samplePictures());
        qint64 offset = 0;
        for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
            const qint32 size = word(skin, trailerStart(skin) + 8 * slot + 4);
            QCOMPARE(skin.mid(offset, 2), QByteArray("BM"));
            QCOMPARE(word(skin, trailerStart(skin) + 8 * slot), qint32(offset));
            offset += size;
        }
        QCOMPARE(offset, trailerStart(skin));
    }

    void readsValidSkin_data()
    {
        QTest::addColumn<bool>("scrambleWords");
        QTest::addColumn<bool>("scrambleRecords");
        QTest::addColumn<int>("gapBytes");
        QTest::newRow("as written") << false << false << 0;
        QTest::newRow("any A(1) to A(44)") << true << false << 0;
        QTest::newRow("any records 45 to 99") << false << true << 0;
        QTest::newRow("bytes before the trailer") << true << true << 1234;
    }

    void readsValidSkin()
    {
        QFETCH(bool, scrambleWords);
        QFETCH(bool, scrambleRecords);
        QFETCH(int, gapBytes);
        const SkinFile::Images pictures = samplePictures();
        QByteArray skin = SkinFile::encode(pictures);
        skin.insert(trailerStart(skin), QByteArray(gapBytes, '\x5a'));
        for (int r = 1; r < SkinFile::RecordCount; ++r) {
            if (r < SkinFile::SlotCount && scrambleWords)
                putWord(skin, trailerStart(skin) + 8 * r, -7 * r);
            if (r >= SkinFile::SlotCount && scrambleRecords) {
                putWord(skin, trailerStart(skin) + 8 * r, 0x7fffffff);
                putWord(skin, trailerStart(skin) + 8 * r + 4, -1);
            }
        }
        for (const SkinFile::Result &result :
             {SkinFile::fromData(skin),
              SkinFile::readFile(writeTemp(QStringLiteral("ok.skn"), skin))}) {
            QCOMPARE(result.error, SkinFile::Error::None);
            for (int slot = 0; slot < SkinFile::SlotCount; ++slot)
                QCOMPARE(result.images[slot].convertToFormat(QImage::Format_RGB32), pictures[slot]);
        }
    }

    // The pictures for 200 % ride after the standard ones; a skin that lacks them, or whose
    // large set is broken, still loads with its standard pictures.
    void doubleSizePictures_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("carried");
        QTest::newRow("older skin") << "none" << false;
        QTest::newRow("carried") << "" << true;
        QTest::newRow("one not twice the size") << "odd size" << false;
        QTest::newRow("cut short") << "cut" << false;
        QTest::newRow("sizes naming no bitmaps") << "junk" << false;
    }

    void doubleSizePictures()
    {
        QFETCH(QString, change);
        QFETCH(bool, carried);
        const SkinFile::Images pictures = samplePictures();
        SkinFile::Images doubled;
        for (int slot = 0; slot < SkinFile::SlotCount; ++slot)
            doubled[slot] = pictures[slot].scaled(pictures[slot].size() * 2);
        if (change == QLatin1String("odd size"))
            doubled[30] = pictures[30];
        QByteArray skin = SkinFile::encode(pictures, change == QLatin1String("none") ? nullptr : &doubled);
        if (change == QLatin1String("cut"))
            skin.remove(trailerStart(skin) - 10, 10);
        for (int r = SkinFile::SlotCount; change == QLatin1String("junk") && r < 2 * SkinFile::SlotCount; ++r)
            putWord(skin, trailerStart(skin) + 8 * r + 4, 1);
        const SkinFile::Result result = SkinFile::fromData(skin);
        QCOMPARE(result.error, SkinFile::Error::None);
        for (int slot = 0; slot < SkinFile::SlotCount; ++slot)
            QCOMPARE(result.images[slot].convertToFormat(QImage::Format_RGB32), pictures[slot]);
        QCOMPARE(result.doubleImages.has_value(), carried);
        for (int slot = 0; carried && slot < SkinFile::SlotCount; ++slot)
            QCOMPARE(result.doubleImages->at(slot).convertToFormat(QImage::Format_RGB32), doubled[slot]);
    }

    void refusesBadSkin_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<SkinFile::Error>("error");
        const QByteArray good = SkinFile::encode(samplePictures());
        const qint64 t = trailerStart(good);
        QByteArray notSkin = good;
        putWord(notSkin, t, 1);
        QByteArray beyondEnd = good;
        putWord(beyondEnd, t + 8 * 44 + 4, word(good, t + 8 * 44 + 4) + 1);
        QByteArray zeroSize = good;
        putWord(zeroSize, t + 8 * 3 + 4, 0);
        QByteArray negativeSize = good;
        putWord(negativeSize, t + 4, -100);
        QByteArray badBitmap = good;
        const qint64 slot5 = word(good, t + 8 * 5);
        badBitmap.replace(slot5, 2, "XX");
        QTest::newRow("first word not 0") << notSkin << SkinFile::Error::NotSkin;
        QTest::newRow("empty") << QByteArray() << SkinFile::Error::TooShort;
        QTest::newRow("shorter than the trailer") << good.right(799) << SkinFile::Error::TooShort;
        QTest::newRow("sizes beyond the end") << beyondEnd << SkinFile::Error::BadSize;
        QTest::newRow("a size of 0") << zeroSize << SkinFile::Error::BadSize;
        QTest::newRow("a negative size") << negativeSize << SkinFile::Error::BadSize;
        QTest::newRow("undecodable bitmap") << badBitmap << SkinFile::Error::BadBitmap;
        QTest::newRow("trailer only") << good.right(800) << SkinFile::Error::BadSize;
    }

    void refusesBadSkin()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(SkinFile::Error, error);
        QCOMPARE(SkinFile::fromData(bytes).error, error);
        const SkinFile::Result fromFile =
            SkinFile::readFile(writeTemp(QStringLiteral("bad.skn"), bytes));
        QCOMPARE(fromFile.error, error);
        QVERIFY(fromFile.images[0].isNull());
    }

    void pictureSizeLimit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<SkinFile::Error>("error");
        QTest::newRow("2048 wide") << 2048 << 1 << SkinFile::Error::None;
        QTest::newRow("2048 high") << 1 << 2048 << SkinFile::Error::None;
        QTest::newRow("2049 wide") << 2049 << 1 << SkinFile::Error::TooLarge;
        QTest::newRow("2049 high") << 1 << 2049 << SkinFile::Error::TooLarge;
        QTest::newRow("4000 x 4000") << 4000 << 4000 << SkinFile::Error::TooLarge;
        QTest::newRow("100000 high") << 1 << 100000 << SkinFile::Error::TooLarge;
    }

    // A picture larger than any face needs is refused from its header alone.
    void pictureSizeLimit()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(SkinFile::Error, error);
        const SkinFile::Result result = SkinFile::fromData(skinWithSlot(7, rleBitmap(width, height)));
        QCOMPARE(result.error, error);
        if (error == SkinFile::Error::None)
            QCOMPARE(result.images[7].size(), QSize(width, std::abs(height)));
    }

    // 45 compressed pictures of 4000 x 4000 in a few kilobytes are refused without their
    // gigabytes ever being allocated.
    void compressedBombNeedsLittleMemory()
    {
        const QList<QByteArray> bombs(SkinFile::SlotCount, rleBitmap(4000, 4000));
        const QByteArray skin = assembleSkin(bombs);
        QVERIFY(skin.size() < 4000);
        QVERIFY(SkinFile::fromData(SkinFile::encode(samplePictures())).ok()); // loads the BMP reader
        const ChildRead child = readInChild(skin);
        QVERIFY(child.peakGrowthKb >= 0);
        QCOMPARE(SkinFile::Error(child.error), SkinFile::Error::TooLarge);
        qInfo("peak resident memory rose by %lld kB", child.peakGrowthKb);
        QVERIFY(child.peakGrowthKb < 100 * 1024);
    }

    void refusesMissingFile()
    {
        QCOMPARE(SkinFile::readFile(QStringLiteral("/nonexistent/skin.skn")).error,
                 SkinFile::Error::CannotOpen);
    }

    void readsSkinAtTheEndOfAFile()
    {
        const SkinFile::Images pictures = samplePictures();
        const QByteArray skin = SkinFile::encode(pictures);
        const QString path = writeTemp(QStringLiteral("program"), QByteArray(5000, '\x7f') + skin);
        const SkinFile::Result result = SkinFile::readTail(path, skin.size());
        QCOMPARE(result.error, SkinFile::Error::None);
        QCOMPARE(result.images[44].convertToFormat(QImage::Format_RGB32), pictures[44]);
        QCOMPARE(SkinFile::readTail(path, skin.size() + 6000).error, SkinFile::Error::TooShort);
        // A program without its skin: the tail is not a skin.
        const QString plain =
            writeTemp(QStringLiteral("plain"), QByteArray(skin.size() + 10, '\x01'));
        QVERIFY(!SkinFile::readTail(plain, skin.size()).ok());
    }
};

HARVELO_TEST_MAIN(TestSkinFile, QGuiApplication)
#include "tst_skin_file.moc"
