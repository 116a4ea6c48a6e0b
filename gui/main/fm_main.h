#pragma once

#include "codec/audio_file.h"
#include "disc/audio_grabber.h"
#include "tags/audio_information.h"
#include "playback/audio_player.h"
#include "codec/audio_transform.h"
#include "skin/sk_controls.h"

#include <QByteArray>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

class DiscChangeProbe;
class QAbstractButton;
class QSoundEffect;
class QTimer;
class QTreeWidgetItem;

// The borderless main window. It owns the six audio components for the whole run; the other
// windows and the jobs reach them and its controls through fm_main. Lives on the UI thread.
class Tfm_main : public QWidget {
    Q_OBJECT
public:
    explicit Tfm_main(QWidget *parent = nullptr);
    ~Tfm_main() override;

    static constexpr int kWidth = 525;
    static constexpr int kHeight = 380;

    // State
    QString version_text;
    std::array<QPixmap, 45> skin_pic;
    QString skin_file, skin_dir;
    int output_format = 0;
    bool playing = false, paused = false;
    bool freedb_refresh = false;
    // The genre the last refresh selected: a rip takes a looked-up genre that the list lacks as
    // text unless the user chose another since.
    int refreshed_genre = -1;
    bool shown = false;
    bool no_quit_prompt = false;
    int last_x = 0, last_y = 0, edit_row = 0;
    int block_samples = 0;
    // The files chosen in the shared open-file dialog, full paths in the dialog's order.
    QStringList OpenDialog;
    // Where that dialog opens: the folder of the last choice, empty before the first one.
    QString openDialogDir;

    // Controls
    QAbstractButton *sb_action, *sb_setting, *sb_help, *sb_quit;
    QLabel *lbl_version, *lbl_web;
    TskImageButton *btn_min, *btn_help, *btn_close;
    TskEdit *skedt_artist, *skedt_album;
    TskComboBox *skcb_genre;
    TskImageButton *btn_play, *btn_pause, *btn_stop, *btn_freedb, *btn_refresh;
    TskImageButton *btn_mp3, *btn_wav, *btn_wma, *btn_ogg, *btn_ripcd;
    TskListView *sklv_main;
    QLineEdit *Edit1;
    TskPopupMenu *pm_action, *pm_help, *skpm_main;
    QAction *mi_editTrackName = nullptr; // first item of skpm_main

    // Components
    ::AudioGrabber AudioGrabber;
    ::AudioTransform AudioTransform;
    ::AudioInformation AudioInformation;
    ::AudioFile AudioFile;
    ::AudioFile AudioFilew;
    ::AudioPlayer AudioPlayer1;

    // Start-up and window
    void FormCreate();
    void FormShow();
    void playClick();

    // Title bar and menus
    void btn_minClick();
    void btn_closeClick();
    void btn_helpClick();
    void sb_actionClick();
    void sb_settingClick();
    void sb_helpClick();
    void sb_quitClick();
    void ContentClick();
    void WebSiteClick();
    void FormContextPopup();

    // A job window closed mid-job may leave its worker finishing the current block with the
    // components; commands that use them wait here first (busy cursor, no user input).
    void waitForJobs();

    // Error handler for exceptions that reach the event loop.
    void ApplicationEvents1Exception();

    // Skin (skin commands)
    void chooseSkinAtStart();
    bool loadSkin();
    void skinMenuClick(int skin);
    void OthersClick();
    void markOutputFormat();
    // Names the format a rip writes on the rip button and the formats the WAV and OGG buttons
    // stand for (a setting makes them FLAC and Opus).
    void showFormatsInUse();
    void markPlayback();

    // Track list
    void btn_refreshClick();
    void selectAll();
    void selectNone();
    void sklv_mainDblClick();
    void startTrackNameEdit();
    void Edit1Exit();
    // Ends the in-place edit only while the editor is open (the FreeDB and rip commands).
    void commitOpenEdit();
    // Colours the list's selected row from the current skin, with text that stays readable.
    void styleTrackList();
    // The looked-up genre as text when the genre list lacks it and the user kept the selection
    // the refresh made; else empty.
    QString lookedUpGenreText() const;
    // Looks whether the disc in the chosen drive changed, and refreshes the list when it did
    // and "refresh on disc change" is "yes". The window's timer calls it every 2 s; it does
    // nothing while a job, a lookup, playback, a name edit or another window is busy, and
    // notices the change afterwards.
    void pollDisc();
    static constexpr int kDiscPollMs = 2000;

    // Playback
    void btn_playClick();
    void btn_pauseClick();
    void btn_stopClick();
    void AudioPlayer1EndBlockPlay();
    void AudioPlayer1EndPlay();
    // For commands that stop playback: true when nothing plays or the user agreed to stop it
    // (it is stopped then); false when the user declined.
    bool confirmStopPlayback();

    // FreeDB
    void btn_freedbClick();
    void chooseRelease();

    // Rip and output format
    void btn_mp3Click();
    void btn_wavClick();
    void btn_wmaClick();
    void btn_oggClick();
    void formatButtonClick(int format);
    void btn_ripcdClick();

    // File conversion
    void WavToMp3Click();
    void WavToWmaClick();
    void WavToOggClick();
    void WavToFlacClick();
    void WavToOpusClick();
    void DecodeClick();
    void NormalizeClick();
    // Encode format 0 MP3, 1 WMA, 2 OGG, 3 FLAC, 4 Opus; the files are chosen in the shared dialog unless given.
    void encodeFiles(int encodeformat, const QStringList *files = nullptr);
    void decodeFiles(bool normalize, const QStringList *files = nullptr);
    // Audio files handed over by a drop, the command line or "Convert files": WAV files to the
    // encode window, the others the readers know to the decode window; other files are ignored.
    void openAudioFiles(const QStringList &paths);
    void ConvertFilesClick();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void createTrackList();
    void createMenus();
    void nameControls();
    bool busyForDiscPoll() const;
    void refreshList();
    TskImageButton *imageButton(int left, int top, int w, int h, void (Tfm_main::*handler)());
    QSoundEffect *m_click = nullptr;
    bool m_firstShowDone = false;
    QTimer *m_discTimer = nullptr;
    std::unique_ptr<DiscChangeProbe> m_discProbe;
};

extern Tfm_main *fm_main;
