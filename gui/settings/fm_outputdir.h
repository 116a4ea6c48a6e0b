#pragma once

#include "gui/settings/setting_widgets.h"

#include <QDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <memory>

class QTreeView;
class TskButton;

// The output-directory picker: a folder tree of the file system. Its result, the folder
// accepted by the last "&Ok", stays for the whole run, as do the tree's expanded folders and
// selection. Created once at start; shown modally by the settings dialog. Never touches the
// settings file.
class Tfm_outputdir : public SkinnedDialog {
    Q_OBJECT
public:
    explicit Tfm_outputdir(QWidget *parent = nullptr);

    static constexpr int kWidth = 273;
    static constexpr int kHeight = 259;

    // Empty until an "&Ok"; empty again after an "&Ok" with no folder selected.
    QString selectedDirectory() const { return m_selectedDirectory; }

    // The model is destroyed before the icon provider it uses.
    QFileIconProvider icons;
    std::unique_ptr<QFileSystemModel> model;
    QTreeView *stv_outputdir;
    TskButton *skbtn_ok1, *skbtn_can;

    void skbtn_okClick();
    void skbtn_cancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createTree(QWidget *client);
    QString m_selectedDirectory;
    bool m_shownOnce = false;
};
