#include "gui/main/fm_release.h"

#include "gui/services/window_placement.h"
#include "skin/sk_controls.h"

#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>

namespace {

constexpr int kIdRole = Qt::UserRole;

QStringList columnsOf(const ReleaseCandidate &c)
{
    return {c.names.album, c.names.artist, c.names.date, c.country, c.format, c.barcode};
}

} // namespace

Tfm_release::Tfm_release(QWidget *parent)
    : SkinnedDialog(parent, QStringLiteral("fm_release"), QStringLiteral("Choose the release"),
                    {kWidth, kHeight})
{
    lbl_releases = new QLabel(QStringLiteral("Several releases hold this disc. Which one is it?"), client);
    lbl_releases->setGeometry(8, 6, kWidth - 16, 16);
    createList();
    skbtn_ok = new TskButton(QStringLiteral("&Ok"), client);
    skbtn_cancel = new TskButton(QStringLiteral("&Cancel"), client);
    skbtn_ok->setGeometry(kWidth - 2 * (75 + 8), kHeight - 33, 75, 25);
    skbtn_cancel->setGeometry(kWidth - 75 - 8, kHeight - 33, 75, 25);
    skbtn_ok->setAutoDefault(false);
    skbtn_cancel->setAutoDefault(false);
    connect(skbtn_ok, &TskButton::clicked, this, &Tfm_release::skbtn_okClick);
    connect(skbtn_cancel, &TskButton::clicked, this, &Tfm_release::skbtn_cancelClick);
    connect(sklv_releases, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        sklv_releases->setCurrentItem(item);
        skbtn_okClick();
    });
}

void Tfm_release::createList()
{
    sklv_releases = new TskListView(client);
    sklv_releases->setObjectName(QStringLiteral("sklv_releases"));
    sklv_releases->setGeometry(8, 26, kWidth - 16, kHeight - 68);
    sklv_releases->setColumnCount(6);
    sklv_releases->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Date"),
                                    QStringLiteral("Country"), QStringLiteral("Format"),
                                    QStringLiteral("Barcode")});
    sklv_releases->setRootIsDecorated(false);
    sklv_releases->setUniformRowHeights(true);
    sklv_releases->setSelectionMode(QAbstractItemView::SingleSelection);
    sklv_releases->setSelectionBehavior(QAbstractItemView::SelectRows);
    sklv_releases->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[] = {140, 100, 70, 50, 60, 100};
    for (int column = 0; column < 6; ++column)
        sklv_releases->setColumnWidth(column, widths[column]);
    sklv_releases->header()->setSectionsClickable(false);
}

QString Tfm_release::choose(const QList<ReleaseCandidate> &candidates, int chosen)
{
    sklv_releases->clear();
    for (const ReleaseCandidate &candidate : candidates) {
        auto *row = new QTreeWidgetItem(columnsOf(candidate));
        row->setData(0, kIdRole, candidate.names.musicBrainz.releaseId);
        for (int column = 0; column < 6; ++column)
            row->setToolTip(column, row->text(column));
        sklv_releases->addTopLevelItem(row);
    }
    if (QTreeWidgetItem *automatic = sklv_releases->topLevelItem(chosen)) {
        sklv_releases->setCurrentItem(automatic);
        sklv_releases->scrollToItem(automatic);
    }
    m_chosenId.clear();
    exec();
    return m_chosenId;
}

void Tfm_release::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        centreOnScreen(this);
    QDialog::showEvent(event);
}

void Tfm_release::skbtn_okClick()
{
    const QList<QTreeWidgetItem *> selected = sklv_releases->selectedItems();
    m_chosenId = selected.isEmpty() ? QString() : selected.first()->data(0, kIdRole).toString();
    accept();
}

void Tfm_release::skbtn_cancelClick()
{
    reject();
}
