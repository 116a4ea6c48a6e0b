#include "skin/skin_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <QtTest>

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
