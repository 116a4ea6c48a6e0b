#include "gui/main/fm_main.h"

#include "disc/disc_change_probe.h"
#include "gui/main/forms.h"
#include "rip/track_list_format.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QApplication>
#include <QImage>
#include <cmath>

namespace {

constexpr int kNameColumn = 1;
// The "NO." column is fixed at this width, so the name column starts here.
constexpr int kNameLeft = 60;

// WCAG relative luminance of a colour.
double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The frame of the skin's face beside the list: a strong colour of the skin on every face
// drawn so far, and whatever a user's own skin has there.
QColor skinSelectionColour(const QPixmap &face)
{
    if (face.isNull())
        return QColor(0x31, 0x6A, 0xC5);
    const QImage image = face.toImage();
    const QPoint at(2 * image.width() / Tfm_main::kWidth, 190 * image.height() / Tfm_main::kHeight);
    QColor c = image.pixelColor(at);
    c.setAlpha(255);
    return c;
}

// Reads the table of contents and the local names afresh and clears the disc fields.
void readDiscLocally(Tfm_main &w)
{
    w.AudioGrabber.ReadTOC();
    w.skedt_artist->clear();
    w.skedt_album->clear();
    w.skcb_genre->setCurrentIndex(-1);
    w.AudioGrabber.QueryDiscInfo(2);
}

void fillDiscFields(Tfm_main &w)
{
    const QString artist = w.AudioGrabber.discArtist();
    const QString album = w.AudioGrabber.discAlbum();
    const QString genre = w.AudioGrabber.discGenre();
    w.skedt_artist->setText(artist.isEmpty() ? QStringLiteral("Unknown Artist") : artist);
    w.skedt_album->setText(album.isEmpty() ? QStringLiteral("Unknown Album") : album);
    // Show the start of a name longer than its field.
    w.skedt_artist->setCursorPosition(0);
    w.skedt_album->setCursorPosition(0);
    // A genre nobody knows keeps whatever is selected.
    const int index = tracklist::genreIndex(genre.isEmpty() ? QStringLiteral("other") : genre);
    if (index >= 0)
        w.skcb_genre->setCurrentIndex(index);
}

void fillTrackRows(Tfm_main &w)
{
    ::AudioGrabber &grabber = w.AudioGrabber;
    const int count = grabber.trackCount();
    QList<QTreeWidgetItem *> rows;
    for (int track = 1; track <= count; ++track) {
        grabber.setTrackNum(track);
        rows << new QTreeWidgetItem(QStringList{
            QString::number(track) + QLatin1Char('.'),
            tracklist::trackName(grabber.trackTitle(), track),
            tracklist::lengthText(grabber.trackLength()),
            tracklist::sizeText(grabber.trackSamples()),
        });
    }
    w.sklv_main->addTopLevelItems(rows);
}

void setAllTicks(QTreeWidget *list, Qt::CheckState state)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, state);
}

} // namespace

void Tfm_main::btn_refreshClick()
{
    if (shown)
        playClick();
    refreshList();
}

void Tfm_main::refreshList()
{
    waitForJobs();
    if (!confirmStopPlayback())
        return;
    IniFile ini;
    AudioGrabber.setDriveNum(ini.read(settings::cdUnit) + 1);
    ini.close();
    sklv_main->clear();
    if (!freedb_refresh)
        readDiscLocally(*this);
    fillDiscFields(*this);
    refreshed_genre = skcb_genre->currentIndex();
    fillTrackRows(*this);
    selectAll();
    freedb_refresh = false;
    // What the list now shows is the state a later change is measured from.
    m_discProbe->changed(AudioGrabber.driveLetter());
}

bool Tfm_main::busyForDiscPoll() const
{
    const bool jobs = (fm_progress && (fm_progress->isVisible() || fm_progress->workerRunning())) ||
                      (fm_encode && (fm_encode->isVisible() || fm_encode->jobRunning())) ||
                      (fm_decode && (fm_decode->isVisible() || fm_decode->jobRunning()));
    // An override cursor: the window waits for a lookup or a finishing job.
    return !shown || jobs || playing || !Edit1->isHidden() || QApplication::activeModalWidget() ||
           QApplication::activePopupWidget() || QGuiApplication::overrideCursor();
}

// The refresh of the Refresh button, without its click: nobody pressed anything.
void Tfm_main::pollDisc()
{
    if (busyForDiscPoll())
        return;
    IniFile ini;
    const bool wanted = ini.read(settings::refreshOnDiscChange) == QLatin1String("yes");
    const int drive = ini.read(settings::cdUnit) + 1;
    ini.close();
    if (!wanted) {
        m_discProbe->reset();
        return;
    }
    if (drive != AudioGrabber.driveNum()) // the chosen drive is not the one listed yet
        return;
    if (m_discProbe->changed(AudioGrabber.driveLetter()))
        refreshList();
}

QString Tfm_main::lookedUpGenreText() const
{
    const QString genre = AudioGrabber.discGenre();
    if (genre.isEmpty() || tracklist::genreIndex(genre) >= 0 || skcb_genre->currentIndex() != refreshed_genre)
        return {};
    return genre;
}

void Tfm_main::selectAll()
{
    setAllTicks(sklv_main, Qt::Checked);
}

void Tfm_main::selectNone()
{
    setAllTicks(sklv_main, Qt::Unchecked);
}

void Tfm_main::sklv_mainDblClick()
{
    // Only a double click on the name column opens the editor.
    if (last_x < kNameLeft || last_x > kNameLeft + sklv_main->columnWidth(kNameColumn))
        return;
    startTrackNameEdit();
}

void Tfm_main::startTrackNameEdit()
{
    const QList<QTreeWidgetItem *> selected = sklv_main->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem *row = selected.first();
    Edit1->show();
    const QRect rect = sklv_main->visualItemRect(row);
    last_x = rect.left();
    last_y = rect.top();
    Edit1->setGeometry(kNameLeft, rect.top() - 1, sklv_main->columnWidth(kNameColumn) + 1, 19);
    Edit1->setText(row->text(kNameColumn));
    edit_row = sklv_main->indexOfTopLevelItem(row);
    Edit1->setFocus();
}

void Tfm_main::Edit1Exit()
{
    // Hiding the focused editor moves the focus, which lands here once more.
    if (Edit1->isHidden())
        return;
    const QString text = Edit1->text();
    Edit1->hide();
    if (text.isEmpty())
        return;
    if (QTreeWidgetItem *row = sklv_main->topLevelItem(edit_row))
        row->setText(kNameColumn, text);
}

void Tfm_main::commitOpenEdit()
{
    if (!Edit1->isHidden())
        Edit1Exit();
}

// A styled item draws its selection from the style sheet only: without a selected state of its
// own, the selected row's text vanished into the highlight.
void Tfm_main::styleTrackList()
{
    const QColor selection = skinSelectionColour(skin_pic[0]);
    const double l = luminance(selection);
    // Whichever of black and white stands out more from the selection.
    const QColor text = (l + 0.05) / 0.05 > 1.05 / (l + 0.05) ? Qt::black : Qt::white;
    sklv_main->setStyleSheet(QStringLiteral(
        "QTreeView { background: white; color: black; gridline-color: #c0c0c0; }"
        "QTreeView::item { border-right: 1px solid #d0d0d0; border-bottom: 1px solid #d0d0d0; }"
        "QTreeView::item:selected { background: %1; color: %2; }")
                                 .arg(selection.name(), QColor(text).name()));
}
