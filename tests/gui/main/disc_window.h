#pragma once

#include "gui/main/forms.h"
#include "tests/support/cd_image_fixture.h"

#include <QList>
#include <QStringList>
#include <QTimer>
#include <memory>

// The real main window started on a generated CD image. Create the scripted services first.
class DiscWindow {
public:
    ~DiscWindow();

    // Writes the image into a fresh directory, lists it after the machine's drives and points
    // "cd unit" at it. Returns the sheet's path.
    static QString insertDisc(const QList<CdImageTrack> &tracks, const QString &artist = {},
                              const QString &album = {}, const CdImageOptions &options = {});
    // Tracks of the given frame counts, untitled.
    static QList<CdImageTrack> untitled(const QList<int64_t> &frames);

    // Creates every window, shows the main window and waits for its first refresh.
    void start();
    void stop();

    static QStringList column(int column);
    static int tickedRows();
    static QTreeWidgetItem *row(int index);
    // A point of `row` at `x` in the list's viewport.
    static QPoint cellPoint(int row, int x);
    // A double click as the platform delivers it: press, release, press, double click, release.
    static void doubleClickAt(const QPoint &viewportPos);
    // Gives every skin slot a picture of its own, so the buttons' pictures tell the slots apart.
    static void distinctSkinPictures();
    static bool shows(const QPixmap &shown, int slot);

private:
    std::unique_ptr<Forms> m_forms;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override;
};

// Watches the main window during a lookup: a 100 ms timer that repaints it and counts its own
// ticks, the ticks under the busy cursor, and the paints seen.
struct LookupWatch {
    PaintCounter counter;
    QTimer timer;
    int ticks = 0, busyTicks = 0, paintsSeen = 0;

    LookupWatch();
    // Runs the FreeDB command under the watch, which stops then; the milliseconds it took.
    qint64 freedbCommand();
    void stop();
};
