#include "jobs/part_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>
#include <sys/stat.h>
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
        QTest::addColumn<QString>("start"); // the part name before its random token
        QTest::addColumn<QString>("end");   // and after it
        QTest::newRow("extension kept last") << "01-Song.mp3" << ".01-Song." << ".harvelo-part.mp3";
        QTest::newRow("dots in the name") << "a.b_NOM.wav" << ".a.b_NOM." << ".harvelo-part.wav";
        QTest::newRow("no extension") << "notes" << ".notes." << ".harvelo-part";
        QTest::newRow("hidden final name") << ".ogg" << "..ogg." << ".harvelo-part";
        // 250 two-byte characters: cut to fit 255 bytes, never inside a character.
        QTest::newRow("long name") << QString(250, QChar(0xe9)) + ".ogg"
                                   << "." + QString(114, QChar(0xe9)) + "." << ".harvelo-part.ogg";
    }

    // The part file is made at once, empty, hidden, beside the final name, with the
    // permissions of any new file.
    void names()
    {
        QFETCH(QString, finalName);
        QFETCH(QString, start);
        QFETCH(QString, end);
        PartFile part(at(finalName));
        const QString name = QFileInfo(part.path()).fileName();
        QCOMPARE(QFileInfo(part.path()).path(), m_dir);
        QVERIFY2(name.startsWith(start) && name.endsWith(end), qPrintable(name));
        QCOMPARE(name.size(), start.size() + 8 + end.size());
        QVERIFY(name.toUtf8().size() <= 255);
        QVERIFY(PartFile::isPartName(name));
        QVERIFY(!PartFile::isPartName(finalName));
        QCOMPARE(fileBytes(part.path()), QByteArray());
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(part.path()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

    void writersOfOneNameKeepApart_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("secondCommits");
        // Two rips of different discs with the same names into one folder.
        QTest::newRow("one name") << "Track 1.wav" << "Track 1.wav" << false;
        // Two inputs of one batch whose names differ only past the part name's cut.
        QTest::newRow("names alike in their first 240 bytes")
            << QString(240, QLatin1Char('x')) + "-one_NOM.wav" << QString(240, QLatin1Char('x')) + "-two_NOM.wav"
            << true;
    }

    // Each writer has a part file of its own; the later of two writers of one name is told,
    // and the first one's file stays.
    void writersOfOneNameKeepApart()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, secondCommits);
        PartFile a(at(first));
        QVERIFY(writeFileBytes(a.path(), "first"));
        PartFile b(at(second));
        QVERIFY(writeFileBytes(b.path(), "second"));
        QVERIFY(a.path() != b.path());
        QCOMPARE(fileBytes(a.path()), QByteArray("first"));
        QVERIFY(a.commit());
        QCOMPARE(b.commit(), secondCommits);
        QCOMPARE(b.conflicted(), !secondCommits);
        QCOMPARE(fileBytes(at(first)), QByteArray("first"));
        if (secondCommits)
            QCOMPARE(fileBytes(at(second)), QByteArray("second"));
        QCOMPARE(entries().filter(QStringLiteral("harvelo-part")), QStringList());
    }

    void commitKeepsAnotherWritersFile_data()
    {
        QTest::addColumn<bool>("existed"); // the final name held a file when the writer began
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("commits");
        QTest::newRow("appeared") << false << "create" << false;
        QTest::newRow("replaced by a rename") << true << "replace" << false;
        QTest::newRow("rewritten in place") << true << "rewrite" << false;
        QTest::newRow("removed") << true << "remove" << true;
        QTest::newRow("left alone") << true << "nothing" << true;
        QTest::newRow("still free") << false << "nothing" << true;
    }

    // A file that another writer put under the final name while this one was written is
    // kept: the commit fails as a conflict, and this writer's part file goes.
    void commitKeepsAnotherWritersFile()
    {
        QFETCH(bool, existed);
        QFETCH(QString, meanwhile);
        QFETCH(bool, commits);
        const QString target = at("song.ogg");
        if (existed)
            QVERIFY(writeFileBytes(target, "old"));
        PartFile part(target);
        QVERIFY(writeFileBytes(part.path(), "mine"));
        if (meanwhile == "create" || meanwhile == "rewrite")
            QVERIFY(writeFileBytes(target, "theirs"));
        else if (meanwhile == "replace")
            QVERIFY(writeFileBytes(at("other"), "theirs")
                    && ::rename(QFile::encodeName(at("other")).constData(), QFile::encodeName(target).constData()) == 0);
        else if (meanwhile == "remove")
            QVERIFY(QFile::remove(target));
        QCOMPARE(part.commit(), commits);
        QCOMPARE(part.conflicted(), !commits);
        QCOMPARE(fileBytes(target), commits ? QByteArray("mine") : QByteArray("theirs"));
        QCOMPARE(entries(), QStringList{"song.ogg"});
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

    // A killed run's part file, or anything named like one, is another writer's: it stays.
    void leftoverOfAnotherRunStays()
    {
        const QString target = at("a.ogg");
        const QString leftover = at(".a.harvelo-part.ogg");
        QVERIFY(writeFileBytes(leftover, "stale"));
        {
            PartFile part(target);
            QVERIFY(part.path() != leftover && QFileInfo::exists(part.path()));
        }
        QCOMPARE(fileBytes(leftover), QByteArray("stale"));
        QCOMPARE(entries(), QStringList{".a.harvelo-part.ogg"});
    }

    // A folder that is not there: no part file, and nothing to commit.
    void missingFolder()
    {
        PartFile part(at("gone/a.wav"));
        QVERIFY(part.path().isEmpty());
        QVERIFY(!part.commit());
        QVERIFY(!part.conflicted());
        QVERIFY(!QFileInfo::exists(at("gone")));
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
