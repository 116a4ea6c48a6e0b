#include "gui/main/forms.h"
#include "gui/main/harvelo_application.h"
#include "gui/services/qt_services.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/test_env.h"

#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

// The production message boxes on a real X server (the test runs under xvfb-run on the xcb
// platform): what the window system shows of them, and how they sit among the windows.

namespace {

// The title the X server holds for a window, as a window manager or xdotool reads it.
QString xWindowName(QWidget *window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return QStringLiteral("<xprop failed>");
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype first = out.indexOf(QLatin1Char('"'));
    return first < 0 ? out : out.mid(first + 1, out.lastIndexOf(QLatin1Char('"')) - first - 1);
}

// The windows of the screen from the bottom to the top, as the X server stacks them.
QStringList xStackingOrder()
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
    if (!xwininfo.waitForFinished(10000))
        return {};
    QStringList ids;
    for (const QString &line : QString::fromUtf8(xwininfo.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString word = line.trimmed().section(QLatin1Char(' '), 0, 0);
        bool ok = false;
        const qulonglong id = word.toULongLong(&ok, 16);
        if (ok && word.startsWith(QLatin1String("0x")))
            ids.prepend(QString::number(id)); // xwininfo lists the top first
    }
    return ids;
}

QMessageBox *shownBox(QWidget *parent = nullptr)
{
    QList<QWidget *> candidates = QApplication::topLevelWidgets();
    if (parent) {
        const QList<QMessageBox *> children = parent->findChildren<QMessageBox *>();
        candidates = QList<QWidget *>(children.begin(), children.end());
    }
    for (QWidget *w : candidates) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (box && box->isVisible() && box->windowHandle() && box->windowHandle()->isExposed())
            return box;
    }
    return nullptr;
}

// Asks `box` through the production prompter; `inspect` runs once the box is on screen, and
// the box is then answered with its first button.
bool askAndInspect(const Prompter::Box &box, const std::function<void(QMessageBox *)> &inspect)
{
    QtPrompter prompter;
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QMessageBox *mb = shownBox();
        if (!mb || seen)
            return;
        seen = true;
        inspect(mb);
        mb->buttons().first()->click();
    });
    poll.start();
    prompter.ask(box, nullptr);
    return seen;
}

QString longPath()
{
    QString path = QStringLiteral("/home/someone/Music");
    for (int i = 0; path.size() < 300; ++i)
        path += QStringLiteral("/A rather long folder name %1").arg(i);
    return path + QStringLiteral("/01-Song.mp3");
}

} // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionReachesTheWindowSystemExactly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("expected");
        const int plain = int(Prompter::Kind::Plain);
        QTest::newRow("Error") << plain << "Error" << "Error";
        QTest::newRow("ERROR") << plain << "ERROR" << "ERROR";
        QTest::newRow("Track read error!") << plain << "Track read error!" << "Track read error!";
        QTest::newRow("Harvelo") << plain << "Harvelo" << "Harvelo";
        QTest::newRow("typed error") << int(Prompter::Kind::Error) << "" << "Error";
        QTest::newRow("confirmation") << int(Prompter::Kind::Confirmation) << "" << "Confirm";
    }

    void captionReachesTheWindowSystemExactly()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, expected);
        QString name;
        const bool seen = askAndInspect({Prompter::Kind(kind), caption, QStringLiteral("Continue?"),
                                         Prompter::Buttons::YesNo},
                                        [&](QMessageBox *box) { name = xWindowName(box); });
        QVERIFY(seen);
        QCOMPARE(name, expected);
    }

    void longWordsWrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("long path") << QStringLiteral("Failed to create file ") + longPath();
        QTest::newRow("one long word") << QString(320, QLatin1Char('x')) + QStringLiteral(" is already exist.Overwrite?");
    }

    // No box grows past two thirds of the screen, and all of its text is inside it.
    void longWordsWrap()
    {
        QFETCH(QString, text);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        int width = 0;
        bool fits = false;
        QString shownText;
        const bool seen = askAndInspect({Prompter::Kind::Plain, QStringLiteral("Error"), text,
                                         Prompter::Buttons::Ok},
                                        [&](QMessageBox *box) {
                                            width = box->frameGeometry().width();
                                            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                                            const int room = label->contentsRect().width();
                                            const QRect needed = label->fontMetrics().boundingRect(
                                                QRect(0, 0, room, 100000), Qt::TextWordWrap, label->text());
                                            fits = needed.width() <= room
                                                   && needed.height() <= label->contentsRect().height();
                                            shownText = label->text();
                                        });
        QVERIFY(seen);
        QVERIFY2(width <= screen.width() * 2 / 3, qPrintable(QString::number(width)));
        QVERIFY(fits);
        QCOMPARE(shownText.remove(QChar(0x200B)), text);
    }

    // A job's question leaves its (modal) window usable and closes when the window answers it.
    void openQuestionLeavesItsWindowUsable()
    {
        QDialog window;
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QtPrompter prompter;
        std::optional<Prompter::Answer> answer;
        prompter.askOpen({Prompter::Kind::Plain, QStringLiteral("ERROR"), QStringLiteral("Overwrite?"),
                          Prompter::Buttons::YesNo},
                         &window, [&](Prompter::Answer a) { answer = a; });
        QTRY_VERIFY(shownBox(&window));
        QCOMPARE(QApplication::activeModalWidget(), &window);
        QVERIFY(!answer);
        prompter.closeQuestions(&window, Prompter::Answer::No);
        QCOMPARE(answer, std::optional(Prompter::Answer::No));
        QTRY_VERIFY(!shownBox(&window));
    }

    void overwriteQuestionStaysAboveTheRipWindow_data()
    {
        QTest::addColumn<QString>("normalize");
        QTest::newRow("straight") << QStringLiteral("no");
        QTest::newRow("normalized") << QStringLiteral("yes");
    }

    // The overwrite question comes before the track is read, and stays above the rip window
    // when that window is raised (a click on it, under a window manager).
    void overwriteQuestionStaysAboveTheRipWindow()
    {
        QFETCH(QString, normalize);
        RipFixture f;
        QtPrompter prompter;
        services::setPrompter(&prompter);
        f.prepare({1}, {}, normalize);
        const QString existing = f.trackFile(1, QStringLiteral(".wav"));
        QVERIFY(QDir().mkpath(QFileInfo(existing).path()));
        QVERIFY(writeFileBytes(existing, "an earlier rip"));
        QStringList filesWhenAsked;
        int barWhenAsked = -1;
        qsizetype boxAt = -1, windowAt = -1;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, [&] {
            QMessageBox *box = shownBox(fm_progress);
            if (!box || barWhenAsked >= 0)
                return;
            barWhenAsked = fm_progress->skpb_progress->value();
            filesWhenAsked = filesBelow(f.outDir());
            fm_progress->raise();
            QCoreApplication::processEvents();
            QApplication::sync();
            const QStringList stack = xStackingOrder();
            boxAt = stack.indexOf(QString::number(box->winId()));
            windowAt = stack.indexOf(QString::number(fm_progress->winId()));
            box->button(QMessageBox::No)->click();
        });
        poll.start();
        f.rip(1);
        services::setPrompter(&f.prompter);
        QCOMPARE(barWhenAsked, 0);
        QCOMPARE(filesWhenAsked, QStringList{existing});
        QVERIFY(windowAt >= 0);
        QVERIFY2(boxAt > windowAt, qPrintable(QStringLiteral("box %1, rip window %2").arg(boxAt).arg(windowAt)));
        QCOMPARE(fileBytes(existing), QByteArray("an earlier rip"));
    }

    // The real rip window with the production boxes: Stop can be clicked while the overwrite
    // question is open, and it answers it.
    void stopDuringARealOverwriteQuestion()
    {
        RipFixture f;
        QtPrompter prompter;
        services::setPrompter(&prompter);
        f.prepare({1, 2});
        const QString existing = f.trackFile(1, QStringLiteral(".wav"));
        QVERIFY(QDir().mkpath(QFileInfo(existing).path()));
        QVERIFY(writeFileBytes(existing, "an earlier rip"));
        QWidget *modalWhileAsked = nullptr;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, [&] {
            QMessageBox *box = shownBox(fm_progress);
            if (!box || modalWhileAsked)
                return;
            modalWhileAsked = QApplication::activeModalWidget();
            QTest::mouseClick(fm_progress->skbtn_abort, Qt::LeftButton);
            // Had the click been refused, the box is answered here so that the test ends.
            QTimer::singleShot(3000, box, [box] { box->button(QMessageBox::No)->click(); });
        });
        poll.start();
        f.rip(1);
        services::setPrompter(&f.prompter);
        QCOMPARE(modalWhileAsked, static_cast<QWidget *>(fm_progress));
        QCOMPARE(fileBytes(existing), QByteArray("an earlier rip"));
        QVERIFY(!QFileInfo::exists(f.trackFile(2, QStringLiteral(".wav"))));
        QVERIFY(!shownBox(fm_progress));
    }
};

HARVELO_TEST_MAIN(TestMessageBoxes, HarveloApplication)
#include "tst_message_boxes.moc"
