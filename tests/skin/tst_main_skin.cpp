#include "gui/main/forms.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/base/skin_file.h"
#include "tests/support/image_checks.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>
#include <memory>

namespace {

QString exeDir()
{
    return QCoreApplication::applicationDirPath();
}

QImage slotImage(const QString &skinPath, int slot)
{
    return SkinFile::readFile(skinPath).images[slot].convertToFormat(QImage::Format_RGB32);
}

QImage builtinSlot(int slot)
{
    return slotImage(QStringLiteral(HARVELO_BUILTIN_SKIN_PATH), slot);
}

QImage shown(const QPixmap &p)
{
    return p.toImage().convertToFormat(QImage::Format_RGB32);
}

// A skin whose background has four coloured quarters and whose buttons are plain squares.
QByteArray testSkin(int seed)
{
    SkinFile::Images images;
    images[0] = QImage(2, 2, QImage::Format_RGB32);
    images[0].setPixel(0, 0, qRgb(200, seed, 0));
    images[0].setPixel(1, 0, qRgb(0, 200, seed));
    images[0].setPixel(0, 1, qRgb(seed, 0, 200));
    images[0].setPixel(1, 1, qRgb(200, 200, seed));
    for (int slot = 1; slot < SkinFile::SlotCount; ++slot) {
        images[slot] = QImage(49, 50, QImage::Format_RGB32);
        images[slot].fill(QColor(seed, slot * 5, 90));
    }
    return SkinFile::encode(images);
}

void putWord(QByteArray &skin, qint64 offset, qint32 value)
{
    qToLittleEndian<qint32>(value, reinterpret_cast<uchar *>(skin.data()) + offset);
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(testEnv().makeDir(name)).filePath(name + QStringLiteral(".skn"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QList<qint64> pictureKeys()
{
    QList<qint64> keys;
    for (const QPixmap &p : fm_main->skin_pic)
        keys << p.cacheKey();
    return keys;
}

QAction *skinMenuItem(const QString &name)
{
    for (QAction *a : fm_main->pm_action->actions())
        if (a->menu() && a->text() == QStringLiteral("Select &Skin"))
            for (QAction *item : a->menu()->actions())
                if (item->text() == name)
                    return item;
    return nullptr;
}

} // namespace

class TestMainSkin : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    std::unique_ptr<Forms> m_forms;

    void setSkinChoice(int skin, const QString &name = QString())
    {
        IniFile ini;
        ini.write(settings::skin, skin);
        if (!name.isNull())
            ini.write(settings::skinName, name);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
    }

    void cleanup() { m_forms.reset(); }

    void startUsesBuiltinSkin_data()
    {
        QTest::addColumn<int>("skin");
        QTest::addColumn<QString>("name");
        QTest::newRow("skin 7") << 7 << QString();
        QTest::newRow("skin -1") << -1 << QString();
        QTest::newRow("missing file") << 0 << QStringLiteral("/nonexistent/dir/mine.skn");
    }

    void startUsesBuiltinSkin()
    {
        QFETCH(int, skin);
        QFETCH(QString, name);
        setSkinChoice(skin, name);
        const QStringList before = QDir(exeDir()).entryList(QDir::AllEntries | QDir::Hidden);
        m_forms = std::make_unique<Forms>();
        QCOMPARE(shown(fm_main->skin_pic[0]), builtinSlot(0));
        QCOMPARE(shown(fm_main->btn_ripcd->PicNormal), builtinSlot(42));
        QVERIFY(m_prompter.boxes.isEmpty());
        QCOMPARE(QDir(exeDir()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(QDir(testEnv().configDir()).entryList(QDir::Files), QStringList{"harvelo.ini"});
    }

    void startLoadsShippedSkin()
    {
        setSkinChoice(3);
        m_forms = std::make_unique<Forms>();
        const QString green = exeDir() + QStringLiteral("/skins/skin3.skn");
        QCOMPARE(shown(fm_main->skin_pic[0]), slotImage(green, 0));
        QCOMPARE(shown(fm_main->btn_mp3->PicNormal), slotImage(green, 23));
        QCOMPARE(shown(fm_main->btn_wav->PicNormal), slotImage(green, 27));
        QCOMPARE(fm_main->skin_dir, exeDir() + QLatin1Char('/'));
    }

    void startRefusesInvalidChosenSkin()
    {
        QByteArray bad = testSkin(1);
        putWord(bad, bad.size() - 800, 9);
        const QString path = writeFile(QStringLiteral("chosen"), bad);
        setSkinChoice(0, path);
        m_forms = std::make_unique<Forms>();
        QCOMPARE(m_prompter.texts(),
                 QStringList{path + QStringLiteral(" is not a valid skin file!")});
        QCOMPARE(shown(fm_main->skin_pic[0]), builtinSlot(0));
    }

    void paintStretchesBackground()
    {
        m_forms = std::make_unique<Forms>();
        m_prompter.fileSelections << QStringList{
            writeFile(QStringLiteral("quarters"), testSkin(40))};
        fm_main->OthersClick();
        const QImage face = fm_main->grab().toImage();
        // Points of the bare face, one in each quarter of the stretched 2 x 2 background.
        QCOMPARE(face.pixel(8, 100), qRgb(200, 40, 0));
        QCOMPARE(face.pixel(515, 100), qRgb(0, 200, 40));
        QCOMPARE(face.pixel(8, 300), qRgb(40, 0, 200));
        QCOMPARE(face.pixel(515, 300), qRgb(200, 200, 40));
    }

    void othersLoadsSkinWhateverItsSpareWords_data()
    {
        QTest::addColumn<bool>("scramble");
        QTest::newRow("as written") << false;
        QTest::newRow("A(1) to A(44) and records 45 to 99 hold anything") << true;
    }

    void othersLoadsSkinWhateverItsSpareWords()
    {
        QFETCH(bool, scramble);
        QByteArray skin = testSkin(77);
        const qint64 trailer = skin.size() - 800;
        for (int r = 1; r < 100 && scramble; ++r) {
            putWord(skin, trailer + 8 * r, 0x13572468 + r);
            if (r >= 45)
                putWord(skin, trailer + 8 * r + 4, -r);
        }
        const QString path = writeFile(QStringLiteral("mine"), skin);
        m_forms = std::make_unique<Forms>();
        m_prompter.fileSelections << QStringList{path};
        fm_main->OthersClick();
        QVERIFY(m_prompter.boxes.isEmpty());
        QCOMPARE(m_prompter.fileDialogs.size(), 1);
        QCOMPARE(m_prompter.fileDialogs[0].filter, QStringLiteral("skin file(*.skn)"));
        QCOMPARE(shown(fm_main->skin_pic[44]), slotImage(path, 44));
        QCOMPARE(shown(fm_main->btn_mp3->PicNormal), slotImage(path, 23));
        QCOMPARE(fm_main->skin_dir, QFileInfo(path).absolutePath() + QLatin1Char('/'));
        IniFile ini;
        QCOMPARE(ini.read(settings::skin), 0);
        QCOMPARE(ini.read(settings::skinName), path);
    }

    void badSkinIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = testSkin(5);
        const qint64 trailer = good.size() - 800;
        QByteArray notSkin = good;
        putWord(notSkin, trailer, -1);
        QByteArray beyondEnd = good;
        putWord(beyondEnd, trailer + 4, good.size());
        QByteArray badBitmap = good;
        badBitmap[0] = 'X';
        QTest::newRow("first trailer word not 0") << notSkin;
        QTest::newRow("shorter than its trailer") << good.left(500);
        QTest::newRow("sizes beyond its end") << beyondEnd;
        QTest::newRow("undecodable bitmap") << badBitmap;
    }

    void badSkinIsRefused()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeFile(QStringLiteral("bad"), bytes);
        m_forms = std::make_unique<Forms>();
        const QList<qint64> keys = pictureKeys();
        const QImage look = fm_main->grab().toImage();
        m_prompter.fileSelections << QStringList{path};
        fm_main->OthersClick();
        QCOMPARE(m_prompter.boxes.size(), 1);
        QCOMPARE(m_prompter.boxes[0].kind, Prompter::Kind::Error);
        QCOMPARE(m_prompter.boxes[0].text, path + QStringLiteral(" is not a valid skin file!"));
        QCOMPARE(pictureKeys(), keys);
        QCOMPARE(fm_main->grab().toImage(), look);
    }

    // The skin dialog starts where the skins are, named for what it asks.
    void skinDialogOpensInTheSkinsFolder()
    {
        setSkinChoice(2);
        m_forms = std::make_unique<Forms>();
        m_prompter.fileSelections << QStringList();
        fm_main->OthersClick();
        QCOMPARE(m_prompter.fileDialogs.size(), 1);
        const Prompter::FileDialog dialog = m_prompter.fileDialogs.first();
        QCOMPARE(QFileInfo(dialog.directory).canonicalFilePath(),
                 QFileInfo(exeDir() + QStringLiteral("/skins")).canonicalFilePath());
        QCOMPARE(dialog.title, QStringLiteral("Choose a skin file"));
        QCOMPARE(dialog.filter, QStringLiteral("skin file(*.skn)"));
        QCOMPARE(dialog.patterns, QStringList{"*.skn"});
    }

    void cancellingOthersChangesNothing()
    {
        setSkinChoice(2);
        m_forms = std::make_unique<Forms>();
        const QByteArray ini = fileBytes(testEnv().iniPath());
        const QList<qint64> keys = pictureKeys();
        const QString file = fm_main->skin_file;
        m_prompter.fileSelections << QStringList();
        fm_main->OthersClick();
        QCOMPARE(m_prompter.fileDialogs.size(), 1);
        QVERIFY(m_prompter.boxes.isEmpty());
        QCOMPARE(fileBytes(testEnv().iniPath()), ini);
        QCOMPARE(pictureKeys(), keys);
        QCOMPARE(fm_main->skin_file, file);
    }

    void skinMenuKeepsFormatAndPlaybackMarks()
    {
        m_forms = std::make_unique<Forms>();
        fm_main->btn_oggClick();
        fm_main->playing = true;
        fm_main->paused = true;
        QAction *skyBlue = skinMenuItem(QStringLiteral("SkyBlue"));
        QVERIFY(skyBlue);
        skyBlue->trigger();
        const QString sky = exeDir() + QStringLiteral("/skins/skin5.skn");
        QCOMPARE(IniFile().read(settings::skin), 5);
        QCOMPARE(shown(fm_main->skin_pic[0]), slotImage(sky, 0));
        QCOMPARE(shown(fm_main->btn_ogg->PicNormal), slotImage(sky, 38));
        QCOMPARE(shown(fm_main->btn_ogg->PicMouseOn), slotImage(sky, 40));
        QCOMPARE(shown(fm_main->btn_mp3->PicNormal), slotImage(sky, 22));
        QCOMPARE(shown(fm_main->btn_pause->PicNormal), slotImage(sky, 12));
        QCOMPARE(shown(fm_main->btn_play->PicNormal), slotImage(sky, 7));
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void shippedSkinsShowEveryStateApart_data()
    {
        QTest::addColumn<QString>("path");
        for (int n = 1; n <= 5; ++n)
            QTest::newRow(qPrintable(QStringLiteral("skin%1").arg(n)))
                << exeDir() + QStringLiteral("/skins/skin%1.skn").arg(n);
        QTest::newRow("built-in") << QStringLiteral(HARVELO_BUILTIN_SKIN_PATH);
    }

    void shippedSkinsShowEveryStateApart()
    {
        QFETCH(QString, path);
        const SkinFile::Result skin = SkinFile::readFile(path);
        QVERIFY(skin.ok());
        QCOMPARE(skin.images[0].size(), QSize(525, 380));
        // Each button's pictures: title buttons 1-6, three-state 7-21 and 42-44, formats 22-41.
        QList<QList<int>> groups{{1, 2}, {3, 4}, {5, 6}, {42, 43, 44}};
        for (int first = 7; first < 22; first += 3)
            groups.append({first, first + 1, first + 2});
        for (int first = 22; first < 42; first += 5)
            groups.append({first, first + 1, first + 2, first + 3, first + 4});
        for (const QList<int> &group : groups)
            for (int a : group)
                for (int b : group)
                    QVERIFY2(a == b || skin.images[a] != skin.images[b],
                             qPrintable(QStringLiteral("slots %1 and %2").arg(a).arg(b)));
    }

    void focusedButtonShowsAMarkOnEverySkin_data()
    {
        QTest::addColumn<int>("skin");
        const char *names[] = {"Pewter", "Maroon", "Green", "Titian", "SkyBlue"};
        for (int i = 1; i <= 5; ++i)
            QTest::newRow(names[i - 1]) << i;
        QTest::newRow("built-in") << 7;
    }

    // A button reached with Tab shows where the keyboard is, in a mark that stands out from
    // whatever the skin paints under it.
    void focusedButtonShowsAMarkOnEverySkin()
    {
        QFETCH(int, skin);
        setSkinChoice(skin);
        m_forms = std::make_unique<Forms>();
        fm_main->no_quit_prompt = true;
        fm_main->show();
        fm_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fm_main));
        for (TskImageButton *button : {fm_main->btn_close, fm_main->btn_play, fm_main->btn_ogg,
                                       fm_main->btn_ripcd}) {
            fm_main->sklv_main->setFocus();
            const QImage plain = button->grab().toImage();
            button->setFocus(Qt::TabFocusReason);
            QVERIFY(button->hasFocus());
            const QImage focused = button->grab().toImage();
            const int marked = visibleChanges(plain, focused);
            QVERIFY2(marked >= button->width(), qPrintable(QStringLiteral("%1: %2 pixels")
                                                                .arg(button->x()).arg(marked)));
        }
    }

    void skinMenuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        const char *names[] = {"Pewter", "Maroon", "Green", "Titian", "SkyBlue"};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(names[i]) << QString::fromLatin1(names[i]) << i + 1;
    }

    void skinMenuItems()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        m_forms = std::make_unique<Forms>();
        fm_main->playing = true;
        skinMenuItem(name)->trigger();
        const QString path = exeDir() + QStringLiteral("/skins/skin%1.skn").arg(number);
        QCOMPARE(IniFile().read(settings::skin), number);
        QCOMPARE(fm_main->skin_file, path);
        QCOMPARE(shown(fm_main->btn_play->PicNormal), slotImage(path, 9));
        QCOMPARE(shown(fm_main->btn_mp3->PicMouseOn), slotImage(path, 25));
    }
};

HARVELO_TEST_MAIN(TestMainSkin, QApplication)
#include "tst_main_skin.moc"
