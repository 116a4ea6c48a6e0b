#pragma once

#include "gui/settings/setting_widgets.h"
#include "lookup/release_choice.h"

#include <QList>
#include <QString>

class QLabel;
class TskButton;
class TskListView;

// The release chooser: when several MusicBrainz releases hold the disc, the FreeDB command lists
// them (title, artist, date, country, format, barcode) with the automatic choice selected.
// "&Ok" or a double click takes the selected release; "&Cancel" and closing keep the automatic
// choice. Created once at start; shown modally by the main window. UI thread only.
class Tfm_release : public SkinnedDialog {
    Q_OBJECT
public:
    explicit Tfm_release(QWidget *parent = nullptr);

    static constexpr int kWidth = 540;
    static constexpr int kHeight = 210;

    QLabel *lbl_releases;
    TskListView *sklv_releases;
    TskButton *skbtn_ok, *skbtn_cancel;

    // Shows the candidates with row `chosen` selected and waits for the user. The ID of the
    // release chosen, or empty when the automatic choice stays.
    QString choose(const QList<ReleaseCandidate> &candidates, int chosen);

    void skbtn_okClick();
    void skbtn_cancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createList();
    QString m_chosenId;
};
