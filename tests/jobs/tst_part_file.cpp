#include "jobs/part_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>
#include <unistd.h>

// The temporary-file writer that every output goes through.
class TestPartFile : public QObject {
    Q_OBJECT
    QString m_dir;

    QString at(const QString &name) const { return m_dir + QLatin1Char('/') + name; }
    QStringList entries() const
    {
        return QDir(m_dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

private Q_SLOTS:
    void init() { m_dir = testEnv().makeDir(QStringLiteral("part")); }

    void names_data()
    {
        QTest::addColumn<QString>("finalName");
        QTest::addColumn<QString>("partName");
        QTest::newRow("extension kept last") << "01-Song.mp3" << ".01-Song.harvelo-part.mp3";
        QTest::newRow("dots in the name") << "a.b_NOM.wav" << ".a.b_NOM.harvelo-part.wav";
        QTest::newRow("no extension") << "notes" << ".notes.harvelo-part";
        QTest::newRow("hidden final name") << ".ogg" << "..ogg.harvelo-part";
        // 250 two-byte characters: cut to fit 255 bytes, never inside a character.
        QTest::newRow("long name") << QString(250, QChar(0xe9)) + ".ogg"
                                   << "." + QString(118, QChar(0xe9)) + ".harvelo-part.ogg";
    }

    void names()
    {
        QFETCH(QString, finalName);
        QFETCH(QString, partName);
        const QString part = PartFile::partPathFor(at(finalName));
        QCOMPARE(QFileInfo(part).path(), m_dir);
        QCOMPARE(QFileInfo(part).fileName(), partName);
        QVERIFY(QFileInfo(part).fileName().toUtf8().size() <= 255);
        QVERIFY(PartFile::isPartName(partName));
        QVERIFY(!PartFile::isPartName(finalName));
    }

    void otherNamesAreNoPartNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("visible") << "Song.harvelo-part.mp3";
        QTest::newRow("mark inside the name") << ".Song.harvelo-part.x.mp3";
        QTest::newRow("plain hidden file") << ".Song.mp3";
    }

    void otherNamesAreNoPartNames()
    {
        QFETCH(QString, name);
        QVERIFY(!PartFile::isPartName(name));
    }

    // The old file stays whole until commit, then the new one replaces it with its permissions.
    void commitReplacesOnlyAtTheEnd()
    {
        const QString target = at("out.wav");
        QVERIFY(writeFileBytes(target, "old"));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        PartFile part(target);
        QVERIFY(writeFileBytes(part.path(), "new and longer"));
        QCOMPARE(fileBytes(target), QByteArray("old"));
        QVERIFY(part.commit());
        QCOMPARE(fileBytes(target), QByteArray("new and longer"));
        QCOMPARE(QFile::permissions(target),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ReadGroup);
        QCOMPARE(entries(), QStringList{"out.wav"});
    }

    void discardedOrDestroyedLeavesTheOldFile_data()
    {
        QTest::addColumn<bool>("explicitDiscard");
        QTest::newRow("discard") << true;
        QTest::newRow("destructor") << false;
    }

    void discardedOrDestroyedLeavesTheOldFile()
    {
        QFETCH(bool, explicitDiscard);
        const QString target = at("out.mp3");
        QVERIFY(writeFileBytes(target, "old"));
        {
            PartFile part(target);
            QVERIFY(writeFileBytes(part.path(), "half"));
            if (explicitDiscard) {
                part.discard();
                QVERIFY(!part.commit());
            }
        }
        QCOMPARE(fileBytes(target), QByteArray("old"));
        QCOMPARE(entries(), QStringList{"out.mp3"});
    }

    // A leftover of a killed run is cleared when the same output is written again.
    void leftoverIsReplaced()
    {
        const QString target = at("a.ogg");
        QVERIFY(writeFileBytes(PartFile::partPathFor(target), "stale"));
        PartFile part(target);
        QVERIFY(!QFileInfo::exists(part.path()));
    }

    // A directory where the file should be: the rename fails and nothing is left behind.
    void commitOverADirectoryFails()
    {
        const QString target = at("taken.wav");
        QVERIFY(QDir().mkpath(target + "/inner"));
        PartFile part(target);
        QVERIFY(writeFileBytes(part.path(), "data"));
        QVERIFY(!part.commit());
        QVERIFY(QFileInfo(target).isDir());
        QVERIFY(!QFileInfo::exists(part.path()));
    }

    void sameFileFollowsLinks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("same");
        QTest::newRow("itself") << "self" << true;
        QTest::newRow("symbolic link") << "symlink" << true;
        QTest::newRow("hard link") << "hardlink" << true;
        QTest::newRow("through a linked folder") << "folderlink" << true;
        QTest::newRow("copy") << "copy" << false;
        QTest::newRow("missing") << "missing" << false;
    }

    void sameFileFollowsLinks()
    {
        QFETCH(QString, how);
        QFETCH(bool, same);
        const QString file = at("in.wav");
        QVERIFY(writeFileBytes(file, "audio"));
        QString other = at("other.wav");
        if (how == "self")
            other = file;
        else if (how == "symlink")
            QVERIFY(QFile::link(file, other));
        else if (how == "hardlink")
            QCOMPARE(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
        else if (how == "folderlink") {
            QVERIFY(QFile::link(m_dir, at("linked")));
            other = at("linked/in.wav");
        } else if (how == "copy")
            QVERIFY(QFile::copy(file, other));
        QCOMPARE(sameFile(file, other), same);
        QCOMPARE(sameFile(other, file), same);
    }
};

HARVELO_TEST_MAIN(TestPartFile, QCoreApplication)
#include "tst_part_file.moc"
