#include "skin/sk_controls.h"
#include "tests/support/image_checks.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QImage image(const QPixmap &p)
{
    return p.toImage().convertToFormat(QImage::Format_RGB32);
}

QPixmap filled(const QColor &c, QSize size = QSize(18, 21))
{
    QPixmap p(size);
    p.fill(c);
    return p;
}

void hover(QWidget *w)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &enter);
}

} // namespace

class TestSkControls : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QDialog> m_dialog;
    TskForm *m_form = nullptr;

private Q_SLOTS:
    void init()
    {
        m_dialog = std::make_unique<QDialog>();
        m_form = new TskForm(m_dialog.get());
        m_dialog->resize(300, 200);
    }

    void cleanup() { m_dialog.reset(); }

    void tabControlTakesTheKeyboard_data()
    {
        QTest::addColumn<int>("theme");
        QTest::newRow("MacOS") << int(UIStyle::MacOS);
        QTest::newRow("WinXP") << int(UIStyle::WinXP);
        QTest::newRow("DeepBlue") << int(UIStyle::DeepBlue);
        QTest::newRow("Protein") << int(UIStyle::Protein);
        QTest::newRow("BlueGlass") << int(UIStyle::BlueGlass);
    }

    // The tab strip is reached with Tab, shows a focus mark on the active tab in every theme,
    // and the arrows move between the tabs.
    void tabControlTakesTheKeyboard()
    {
        QFETCH(int, theme);
        auto *tabs = new TskTabControl(m_form);
        for (const char *caption : {"CDDB", "CD Settings", "Output"})
            tabs->addTab(QString::fromLatin1(caption));
        tabs->setGeometry(10, 40, 260, 140);
        tabs->setUIStyle(UIStyle(theme));
        auto *before = new TskButton(QStringLiteral("OK"), m_form);
        before->setGeometry(10, 10, 60, 25);
        QWidget::setTabOrder(before, tabs);
        m_dialog->show();
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        before->setFocus();
        const QImage plain = tabs->grab().toImage();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(tabs->hasFocus());
        QVERIFY(visibleChanges(plain, tabs->grab().toImage()) >= 20);
        QTest::keyClick(tabs, Qt::Key_Right);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(tabs, Qt::Key_Right);
        QTest::keyClick(tabs, Qt::Key_Right);
        QCOMPARE(tabs->currentIndex(), 2);
        QTest::keyClick(tabs, Qt::Key_Left);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(tabs, Qt::Key_Home);
        QCOMPARE(tabs->currentIndex(), 0);
        QTest::keyClick(tabs, Qt::Key_End);
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void customButtonKeepsItsPicturesWhileTheEditTakesTheTheme()
    {
        auto *custom = new TskButton(QStringLiteral("Mine"), m_form);
        custom->setUIStyle(UIStyle::Custom);
        custom->setPicNormal(filled(Qt::red));
        auto *themed = new TskButton(QStringLiteral("OK"), m_form);
        auto *edit = new TskEdit(m_form);
        QCOMPARE(edit->borderColor(), QColor(0x686868));

        m_form->setUIStyle(UIStyle::DeepBlue);
        QCOMPARE(image(custom->picNormal()), image(filled(Qt::red)));
        QCOMPARE(custom->uiStyle(), UIStyle::Custom);
        QCOMPARE(image(themed->picNormal()), image(skThemePixmap(UIStyle::DeepBlue, 23)));
        QCOMPARE(edit->borderColor(), QColor(Qt::black));
        QCOMPARE(edit->uiStyle(), UIStyle::DeepBlue);
    }

    void disabledEditStaysReadable_data()
    {
        QTest::addColumn<UIStyle>("style");
        QTest::newRow("MacOS") << UIStyle::MacOS;
        QTest::newRow("WinXP") << UIStyle::WinXP;
        QTest::newRow("DeepBlue") << UIStyle::DeepBlue;
        QTest::newRow("Protein") << UIStyle::Protein;
        QTest::newRow("BlueGlass") << UIStyle::BlueGlass;
    }

    // A disabled field that shows a value (the output directory) keeps its text at a contrast
    // of at least 3:1, in its palette and on screen.
    void disabledEditStaysReadable()
    {
        QFETCH(UIStyle, style);
        auto *edit = new TskEdit(QStringLiteral("/home/someone/Music"), m_form);
        edit->setGeometry(10, 40, 200, 20);
        m_form->setUIStyle(style);
        edit->setEnabled(false);
        const QPalette pal = edit->palette();
        QVERIFY(contrastRatio(pal.color(QPalette::Disabled, QPalette::Text),
                              pal.color(QPalette::Disabled, QPalette::Base)) >= 3);
        const QImage shown = edit->grab().toImage();
        const auto [background, ink] = backgroundAndInk(shown, shown.rect().adjusted(2, 2, -2, -2));
        QVERIFY2(ink >= 3, qPrintable(QStringLiteral("%1 on %2").arg(ink).arg(background.name())));
    }

    void formThemesControlsAddedLater()
    {
        m_form->setUIStyle(UIStyle::Protein);
        auto *box = new TskGroupBox(QStringLiteral("Output"), m_form);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        QCOMPARE(box->color(), QColor(0xFBFBFB));
        QCOMPARE(m_form->color(), QColor(0xFBFBFB));
        QCOMPARE(m_form->borderWidth(), 1);
    }

    void checkBoxPointerStates_data()
    {
        QTest::addColumn<UIStyle>("theme");
        QTest::addColumn<bool>("distinct");
        QTest::newRow("WinXP") << UIStyle::WinXP << true;
        QTest::newRow("DeepBlue") << UIStyle::DeepBlue << false;
    }

    void checkBoxPointerStates()
    {
        QFETCH(UIStyle, theme);
        QFETCH(bool, distinct);
        auto *box = new TskCheckBox(QStringLiteral("Normalize"), m_form);
        box->resize(120, 17);
        box->setChecked(true);
        box->setUIStyle(theme);
        const QImage normal = image(box->currentPicture());
        hover(box);
        const QImage hot = image(box->currentPicture());
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 8));
        const QImage down = image(box->currentPicture());
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(5, 8));
        QCOMPARE(hot != down, distinct);
        QCOMPARE(normal != hot, distinct);
        QVERIFY(!box->isChecked());
    }

    void programTickRaisesNoClick()
    {
        auto *box = new TskCheckBox(QStringLiteral("Tag"), m_form);
        box->resize(80, 17);
        QSignalSpy clicks(box, &QAbstractButton::clicked);
        box->setChecked(true);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(image(box->currentPicture()), image(skThemePixmap(UIStyle::WinXP, 28)));
        box->setEnabled(false);
        QCOMPARE(image(box->currentPicture()), image(skThemePixmap(UIStyle::WinXP, 26)));
        box->setEnabled(true);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 8));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!box->isChecked());
    }

    void radioButtonsClearTheirGroup()
    {
        auto *a = new TskRadioButton(QStringLiteral("a"), m_form);
        auto *b = new TskRadioButton(QStringLiteral("b"), m_form);
        auto *other = new TskRadioButton(QStringLiteral("other group"), m_form);
        other->setGroupIndex(1);
        for (auto *r : {a, b, other})
            r->resize(80, 17);
        other->setChecked(true);
        a->setChecked(true);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 8));
        QVERIFY(b->isChecked());
        QVERIFY(!a->isChecked());
        QVERIFY(other->isChecked());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 8));
        QVERIFY(b->isChecked());
    }

    void blueGlassFormIsAtLeast270Wide()
    {
        m_form->setUIStyle(UIStyle::BlueGlass);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        m_dialog->resize(200, 150);
        QCOMPARE(m_dialog->width(), 270);
        QCOMPARE(m_form->width(), 270);
        m_form->setUIStyle(UIStyle::WinXP);
        m_dialog->resize(120, 150);
        QCOMPARE(m_dialog->width(), 150);
    }

    void formKeepsItsTitleBarOutOfTheClientArea()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        QCOMPARE(m_form->titleBar()->height(), 29);
        QCOMPARE(m_form->clientRect(), QRect(3, 32, 294, 165));
        m_dialog->setWindowTitle(QStringLiteral("Setting"));
        QCOMPARE(m_form->titleBar()->caption(), QStringLiteral("Setting"));
    }

    void titleBarCloseButtonClosesTheWindow()
    {
        m_form->titleBar()->setButtons({TskTitleBar::skMin, TskTitleBar::skClose});
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        TskTitleBar *bar = m_form->titleBar();
        const QRect close = bar->buttonRect(1);
        QCOMPARE(close.size(), QSize(21, 21));
        QCOMPARE(close.top(), 5);
        QVERIFY(bar->buttonRect(0).right() < close.left());
        QTest::mouseClick(bar, Qt::LeftButton, {}, close.center());
        QTRY_VERIFY(!m_dialog->isVisible());
    }

    void tabStripLayout()
    {
        auto *tabs = new TskTabControl(m_form);
        tabs->setGeometry(10, 40, 280, 150);
        const QStringList captions{"CDDB", "CD Settings", "Output", "MP3", "WMA", "OGG"};
        for (const QString &c : captions)
            tabs->addTab(c);
        QCOMPARE(tabs->stripHeight(), 19);
        int left = tabs->leftMargin();
        for (int i = 0; i < captions.size(); ++i) {
            const QRect r = tabs->tabRect(i);
            QCOMPARE(r.left(), left);
            QCOMPARE(r.width(), tabs->fontMetrics().horizontalAdvance(captions[i]) + 20);
            QCOMPARE(tabs->tabAt(r.center()), i);
            left = r.right() + 1;
        }
        QCOMPARE(tabs->tabRect(0).top(), tabs->tabRect(1).top() + 1);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(tabs->tabRect(3).top(), tabs->tabRect(0).top() + 1);
    }

    void emptyTabCaptionIs80Wide()
    {
        auto *tabs = new TskTabControl(m_form);
        tabs->addTab(QString());
        QCOMPARE(tabs->tabRect(0).width(), 80);
    }

    void themedButtonKeepsTheBitmapCornersUnscaled()
    {
        auto *button = new TskButton(QString(), m_form);
        button->resize(90, 30);
        const QImage face = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage bitmap = image(skThemePixmap(UIStyle::WinXP, 23));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 9; ++x) {
                QCOMPARE(face.pixel(x, y), bitmap.pixel(x, y));
                QCOMPARE(face.pixel(89 - x, 29 - y), bitmap.pixel(17 - x, 20 - y));
            }
    }

    void menuItemHeights_data()
    {
        QTest::addColumn<UIStyle>("theme");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("separator");
        QTest::newRow("WinXP") << UIStyle::WinXP << 21 << 5;
        QTest::newRow("MacOS") << UIStyle::MacOS << 20 << 12;
    }

    void menuItemHeights()
    {
        QFETCH(UIStyle, theme);
        QFETCH(int, item);
        QFETCH(int, separator);
        TskPopupMenu menu;
        menu.setUIStyle(theme);
        QAction *first = menu.addAction(QStringLiteral("&Refresh"));
        QAction *line = menu.addSeparator();
        QMenu *sub = menu.addMenu(QStringLiteral("Select &Skin"));
        QAction *inner = sub->addAction(QStringLiteral("Pewter"));
        sub->addSeparator();
        menu.ensurePolished();
        sub->ensurePolished();
        QCOMPARE(menu.actionGeometry(first).height(), item);
        QCOMPARE(menu.actionGeometry(line).height(), separator);
        QCOMPARE(sub->actionGeometry(inner).height(), item);
        QVERIFY(menu.actionGeometry(first).width() >=
                26 + 4 + menu.fontMetrics().horizontalAdvance("Refresh"));
    }

    void progressBarFillsItsShare()
    {
        auto *bar = new TskProgressBar(m_form);
        bar->setGeometry(10, 40, 104, 14);
        bar->setRange(0, 200);
        bar->setValue(50);
        QCOMPARE(bar->barRect(), QRect(2, 2, 25, 10));
        bar->setValue(200);
        QCOMPARE(bar->barRect().width(), 100);
    }
};

HARVELO_TEST_MAIN(TestSkControls, QApplication)
#include "tst_sk_controls.moc"
