#include "gui/settings/fm_outputdir.h"

#include "gui/settings/setting_widgets.h"
#include "skin/sk_controls.h"
#include "gui/services/window_placement.h"

#include <QDir>
#include <QHeaderView>
#include <QScreen>
#include <QShowEvent>
#include <QTreeView>

Tfm_outputdir::Tfm_outputdir(QWidget *parent)
    : SkinnedDialog(parent, QStringLiteral("fm_outputdir"), QStringLiteral("Selcet directory"),
                    {kWidth, kHeight})
{
    createTree(client);

    skbtn_ok1 = new TskButton(QStringLiteral("&Ok"), client);
    skbtn_can = new TskButton(QStringLiteral("&Cancel"), client);
    skbtn_ok1->setGeometry(48, kHeight - 33, 75, 25);
    skbtn_can->setGeometry(kWidth - 48 - 75, kHeight - 33, 75, 25);
    skbtn_ok1->setAutoDefault(false);
    skbtn_can->setAutoDefault(false);
    connect(skbtn_ok1, &TskButton::clicked, this, &Tfm_outputdir::skbtn_okClick);
    connect(skbtn_can, &TskButton::clicked, this, &Tfm_outputdir::skbtn_cancelClick);
}

void Tfm_outputdir::createTree(QWidget *client)
{
    model = std::make_unique<QFileSystemModel>();
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    // Like the shell's folder tree: read once, not kept in step with the disk.
    model->setOption(QFileSystemModel::DontWatchForChanges);
    model->setRootPath(QDir::rootPath());
    // Folder icons from the style where the desktop has no icon theme.
    model->setIconProvider(&icons);

    stv_outputdir = new QTreeView(client);
    stv_outputdir->setGeometry(8, 8, kWidth - 16, kHeight - 50);
    stv_outputdir->setModel(model.get());
    stv_outputdir->setHeaderHidden(true);
    stv_outputdir->setAccessibleName(QStringLiteral("Folders"));
    for (int column = 1; column < model->columnCount(); ++column)
        stv_outputdir->hideColumn(column);
    // One top-level item, "/", with no expand button: the whole file system hangs below it.
    stv_outputdir->setRootIsDecorated(false);
    stv_outputdir->setSelectionMode(QAbstractItemView::SingleSelection);
    stv_outputdir->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stv_outputdir->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    // The home directory is at hand at once.
    for (QModelIndex index = model->index(QDir::homePath()); index.isValid();
         index = index.parent())
        stv_outputdir->expand(index);
}

void Tfm_outputdir::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        centreOnScreen(this);
    QDialog::showEvent(event);
    // Only a laid-out tree can scroll; after the first show the tree stays where the user left it.
    if (!m_shownOnce) {
        m_shownOnce = true;
        stv_outputdir->scrollTo(model->index(QDir::homePath()), QAbstractItemView::PositionAtTop);
    }
}

void Tfm_outputdir::skbtn_okClick()
{
    const QModelIndexList selected = stv_outputdir->selectionModel()->selectedRows();
    m_selectedDirectory = selected.isEmpty() ? QString() : model->filePath(selected.first());
    accept();
}

void Tfm_outputdir::skbtn_cancelClick()
{
    reject();
}
