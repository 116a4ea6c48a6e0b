#include "tests/gui/settings/settings_fixture.h"

#include "lookup/drive_offsets.h"
#include "tests/support/cd_image_fixture.h"

#include <QDir>
#include <QtEndian>

namespace {

QByteArray offsetRecord(const QByteArray &name, int offset)
{
    QByteArray record(69, '\0');
    qToLittleEndian<qint16>(qint16(offset), record.data());
    record.replace(2, int(name.size()), name);
    return record;
}

} // namespace

// The CD Settings page proposes the drive database's offset for a drive whose own read offset
// was never set, and its button takes it; it also holds "test and copy".
class TestDriveOffsetPage : public QObject {
    Q_OBJECT
    ProgramWindows m_windows;
    QString m_cue;

private slots:
    void initTestCase()
    {
        m_cue = makeCdImage(testEnv().makeDir(QStringLiteral("disc")), {CdImageTrack{588 * 75}});
        QVERIFY(QDir().mkpath(QFileInfo(DriveOffsetList::cachePath()).path()));
        QVERIFY(writeFileBytes(DriveOffsetList::cachePath(), offsetRecord("PLEXTOR - DVDR   PX-716A", 30)));
    }
    void cleanup() { m_windows.stop(); }

    void proposal_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("ownOffset"); // "" for none
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("field");
        QTest::newRow("proposed") << "DVDR   PX-716A" << QString() << "Offset from the drive database: +30 (PLEXTOR DVDR PX-716A)" << 0;
        QTest::newRow("own offset set") << "DVDR   PX-716A" << "12" << QString() << 12;
        QTest::newRow("unknown model") << "PX-W4824A" << QString() << QString() << 0;
    }
    void proposal()
    {
        QFETCH(QString, model);
        QFETCH(QString, ownOffset);
        QFETCH(QString, shown);
        QFETCH(int, field);
        QString drive = makeDriveFile(m_cue);
        QByteArray text = fileBytes(drive);
        text.replace("DVDR   PX-716A", model.toLatin1());
        QVERIFY(writeFileBytes(drive, text));
        setCdDevices({drive});
        m_windows.start();
        IniFile ini;
        ini.write(settings::cdUnit, fm_main->AudioGrabber.driveCount() - 1);
        const QString key = settings::readOffsetKeyOf(QStringLiteral("PLEXTOR"), model);
        if (!ownOffset.isEmpty())
            ini.writeString(QStringLiteral("cd settings"), key, ownOffset);
        QVERIFY(openSettings());
        CdSettingsPage *page = fm_setting->Panel2;
        QCOMPARE(page->lbl_driveoffset->isVisibleTo(page), !shown.isEmpty());
        QCOMPARE(page->skbtn_takeoffset->isVisibleTo(page), !shown.isEmpty());
        QCOMPARE(page->lbl_driveoffset->text(), shown);
        QCOMPARE(page->ud_offset->committedValue(), field);
        const QString dir = qEnvironmentVariable("HARVELO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            fm_setting->pgc_setting->setCurrentIndex(1); // "CD Settings"
            QTest::qWait(50);
            QVERIFY(fm_setting->grab().save(QStringLiteral("%1/cd_offset_%2.png").arg(dir, QTest::currentDataTag()).remove(' ')));
        }
        if (!shown.isEmpty())
            page->skbtn_takeoffset->click();
        fm_setting->skbtn_okClick();
        const int expected = shown.isEmpty() ? field : 30;
        QCOMPARE(stored(settings::readOffset), QString::number(expected));
        QCOMPARE(IniFile().readString(QStringLiteral("cd settings"), key, QStringLiteral("<absent>")),
                 ownOffset.isEmpty() && shown.isEmpty() ? QStringLiteral("<absent>") : QString::number(expected));
    }

    // "test and copy" on the page: shown as stored, stored as ticked.
    void testAndCopySetting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("never set") << QString() << false;
        QTest::newRow("yes") << "yes" << true;
        QTest::newRow("no") << "no" << false;
    }
    void testAndCopySetting()
    {
        QFETCH(QString, stored);
        QFETCH(bool, ticked);
        m_windows.start();
        if (!stored.isEmpty())
            IniFile().write(settings::testAndCopy, stored);
        QVERIFY(openSettings());
        QCOMPARE(fm_setting->Panel2->skcb_testandcopy->isChecked(), ticked);
        fm_setting->Panel2->skcb_testandcopy->click();
        fm_setting->skbtn_okClick();
        QCOMPARE(IniFile().read(settings::testAndCopy), ticked ? QStringLiteral("no") : QStringLiteral("yes"));
    }
};

HARVELO_TEST_MAIN(TestDriveOffsetPage, QApplication)
#include "tst_drive_offset_page.moc"
