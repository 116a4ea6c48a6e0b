// The main window's face: its speed buttons, image buttons, fields, track list and menus, at
// the places the skin paints for them.
#include "gui/main/fm_main.h"

#include "skin/sk_menu_icons.h"
#include "skin/sk_styled.h"
#include "tags/genres.h"

#include <QHeaderView>
#include <QPainter>

namespace {

// A flat, captionless hot area over a word painted by the skin.
class SpeedButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!underMouse() && !isDown())
            return;
        QPainter p(this);
        p.setPen(QColor(255, 255, 255, isDown() ? 200 : 120));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }
};

} // namespace

TskImageButton *Tfm_main::imageButton(int left, int top, int w, int h, void (Tfm_main::*handler)())
{
    auto *b = new TskImageButton(this);
    b->setGeometry(left, top, w, h);
    connect(b, &QAbstractButton::clicked, this, handler);
    return b;
}

void Tfm_main::createControls()
{
    auto speed = [this](int left, int width, void (Tfm_main::*handler)()) {
        auto *b = new SpeedButton(this);
        b->setGeometry(left, 37, width, 17);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QAbstractButton::clicked, this, handler);
        return b;
    };
    sb_action = speed(17, 36, &Tfm_main::sb_actionClick);
    sb_setting = speed(54, 42, &Tfm_main::sb_settingClick);
    sb_help = speed(141, 31, &Tfm_main::sb_helpClick);
    sb_quit = speed(173, 28, &Tfm_main::sb_quitClick);

    lbl_version = new QLabel(this);
    lbl_version->setGeometry(203, 15, 71, 16);
    QFont versionFont = font();
    versionFont.setPixelSize(13);
    // The label is only 71 pixels wide; without the narrow Windows font the text needs condensing.
    versionFont.setStretch(QFont::SemiCondensed);
    lbl_version->setFont(versionFont);
    lbl_version->setStyleSheet(QStringLiteral("color: palette(window); background: transparent;"));

    lbl_web = new QLabel(QStringLiteral("Visit our web"), this);
    lbl_web->setGeometry(417, 37, 74, 13);
    QFont webFont = font();
    webFont.setBold(true);
    lbl_web->setFont(webFont);
    lbl_web->setStyleSheet(QStringLiteral("color: rgb(128,128,128); background: transparent;"));
    lbl_web->setCursor(Qt::PointingHandCursor);
    lbl_web->installEventFilter(this);

    btn_min = imageButton(454, 15, 15, 15, &Tfm_main::btn_minClick);
    btn_help = imageButton(472, 15, 15, 15, &Tfm_main::btn_helpClick);
    btn_close = imageButton(491, 15, 15, 15, &Tfm_main::btn_closeClick);
    for (TskImageButton *b : {btn_min, btn_help, btn_close})
        b->setCursor(Qt::ArrowCursor);

    skedt_artist = new TskEdit(this);
    skedt_artist->setGeometry(54, 58, 116, 18);
    skedt_album = new TskEdit(this);
    skedt_album->setGeometry(219, 58, 116, 18);
    skcb_genre = new TskComboBox(this);
    skcb_genre->setGeometry(382, 56, 112, 21);
    skcb_genre->addItems(genreListItems());
    skcb_genre->setCurrentIndex(-1);

    btn_play = imageButton(16, 316, 50, 50, &Tfm_main::btn_playClick);
    btn_pause = imageButton(66, 316, 49, 50, &Tfm_main::btn_pauseClick);
    btn_stop = imageButton(115, 316, 49, 50, &Tfm_main::btn_stopClick);
    btn_freedb = imageButton(164, 316, 49, 50, &Tfm_main::btn_freedbClick);
    btn_refresh = imageButton(213, 316, 49, 50, &Tfm_main::btn_refreshClick);
    btn_mp3 = imageButton(262, 316, 49, 50, &Tfm_main::btn_mp3Click);
    btn_wav = imageButton(311, 316, 49, 50, &Tfm_main::btn_wavClick);
    btn_wma = imageButton(360, 316, 49, 50, &Tfm_main::btn_wmaClick);
    btn_ogg = imageButton(409, 316, 49, 50, &Tfm_main::btn_oggClick);
    btn_ripcd = imageButton(458, 316, 49, 50, &Tfm_main::btn_ripcdClick);

    createTrackList();

    QWidget *order[] = {btn_min, btn_help, btn_close, skedt_artist, skedt_album, skcb_genre,
                        btn_play, btn_pause, btn_stop, btn_freedb, btn_refresh, btn_mp3,
                        btn_wav, btn_wma, btn_ogg, btn_ripcd, sklv_main, Edit1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Tfm_main::createTrackList()
{
    sklv_main = new TskListView(this);
    sklv_main->setObjectName(QStringLiteral("sklv_main"));
    sklv_main->setGeometry(18, 80, 487, 232);
    sklv_main->setColumnCount(4);
    sklv_main->setHeaderLabels({QStringLiteral("NO."), QStringLiteral("Track name"),
                                QStringLiteral("Length"), QStringLiteral("Size")});
    sklv_main->setRootIsDecorated(false);
    sklv_main->setUniformRowHeights(true);
    sklv_main->setSelectionMode(QAbstractItemView::SingleSelection);
    sklv_main->setSelectionBehavior(QAbstractItemView::SelectRows);
    sklv_main->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sklv_main->setSortingEnabled(false);
    sklv_main->setFrameShape(QFrame::NoFrame);
    styleTrackList();
    QHeaderView *header = sklv_main->header();
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(2, QHeaderView::Fixed);
    sklv_main->setColumnWidth(0, 60);
    sklv_main->setColumnWidth(1, 250);
    sklv_main->setColumnWidth(2, 50);
    sklv_main->setColumnWidth(3, 60);
    // "Track name" may be sized 250 to 300 and "Size" 60 to 100.
    connect(header, &QHeaderView::sectionResized, this, [header](int section, int, int size) {
        const int lo = section == 1 ? 250 : section == 3 ? 60 : size;
        const int hi = section == 1 ? 300 : section == 3 ? 100 : size;
        if (size < lo || size > hi)
            header->resizeSection(section, std::clamp(size, lo, hi));
    });
    sklv_main->viewport()->installEventFilter(this);
    // The list's own menu: editing a name and ticking all or none are reachable only here.
    sklv_main->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sklv_main, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        skpm_main->popup(sklv_main->viewport()->mapToGlobal(pos));
    });
    connect(sklv_main, &QTreeWidget::itemDoubleClicked, this, &Tfm_main::sklv_mainDblClick);

    Edit1 = new QLineEdit(sklv_main->viewport());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(77, 249, 250, 21);
    Edit1->hide();
    Edit1->installEventFilter(this);
}

void Tfm_main::createMenus()
{
    auto icon = [](const QString &name) { return QIcon(skThemePixmap(name)); };
    pm_action = new TskPopupMenu(this);
    pm_action->addAction(icon(skMenuIcon::Refresh), QStringLiteral("&Refresh"), this,
                         &Tfm_main::btn_refreshClick);
    pm_action->addAction(icon(skMenuIcon::FreeDb), QStringLiteral("&FREEDB"), this,
                         &Tfm_main::btn_freedbClick);
    pm_action->addAction(icon(skMenuIcon::RipCd), QStringLiteral("&Rip CD"), this,
                         &Tfm_main::btn_ripcdClick);
    pm_action->addSeparator();
    QMenu *encode = pm_action->addMenu(icon(skMenuIcon::Encode), QStringLiteral("&Encode"));
    encode->addAction(QStringLiteral("WAV to &MP3"), this, &Tfm_main::WavToMp3Click);
    encode->addAction(QStringLiteral("WAV to &WMA"), this, &Tfm_main::WavToWmaClick);
    encode->addAction(QStringLiteral("WAV to &OGG"), this, &Tfm_main::WavToOggClick);
    encode->addAction(QStringLiteral("WAV to &FLAC"), this, &Tfm_main::WavToFlacClick);
    encode->addAction(QStringLiteral("WAV to O&pus"), this, &Tfm_main::WavToOpusClick);
    pm_action->addAction(icon(skMenuIcon::Decode), QStringLiteral("&Decode to WAV"), this,
                         &Tfm_main::DecodeClick);
    pm_action->addAction(icon(skMenuIcon::Normalize), QStringLiteral("&WAV Normalize"), this,
                         &Tfm_main::NormalizeClick);
    pm_action->addSeparator();

    auto addSkinMenu = [this](QMenu *menu) {
        QMenu *skins = menu->addMenu(QStringLiteral("Select &Skin"));
        const char *names[] = {"Pewter", "Maroon", "Green", "Titian", "SkyBlue"};
        for (int i = 0; i < 5; ++i)
            skins->addAction(QString::fromLatin1(names[i]), this, [this, i] { skinMenuClick(i + 1); });
        skins->addAction(QStringLiteral("Others"), this, &Tfm_main::OthersClick);
    };
    addSkinMenu(pm_action);
    pm_action->addAction(icon(skMenuIcon::Exit), QStringLiteral("E&xit"), this, &Tfm_main::sb_quitClick);

    pm_help = new TskPopupMenu(this);
    pm_help->addAction(QStringLiteral("&Content"), this, &Tfm_main::ContentClick);
    pm_help->addAction(QStringLiteral("&Web site"), this, &Tfm_main::WebSiteClick);

    skpm_main = new TskPopupMenu(this);
    mi_editTrackName = skpm_main->addAction(QStringLiteral("&Edit Track name"), this,
                                            &Tfm_main::startTrackNameEdit);
    mi_editTrackName->setEnabled(false);
    skpm_main->addAction(QStringLiteral("&Refresh"), this, &Tfm_main::btn_refreshClick);
    skpm_main->addAction(QStringLiteral("&FreeDB"), this, &Tfm_main::btn_freedbClick);
    skpm_main->addSeparator();
    skpm_main->addAction(QStringLiteral("Select &All"), this, &Tfm_main::selectAll);
    skpm_main->addAction(QStringLiteral("Select &None"), this, &Tfm_main::selectNone);
    skpm_main->addSeparator();
    addSkinMenu(skpm_main);
    skpm_main->addAction(QStringLiteral("E&xit"), this, &Tfm_main::sb_quitClick);
    connect(skpm_main, &QMenu::aboutToShow, this, &Tfm_main::FormContextPopup);
}


// What a screen reader says of each control: the skin paints the captions of the buttons,
// fields and menu words, so the controls carry them as names. The format buttons are checked
// while their format is the output format.
void Tfm_main::nameControls()
{
    const std::pair<QWidget *, const char *> names[] = {
        {sb_action, "Action"},   {sb_setting, "Setting"},     {sb_help, "Help"},
        {sb_quit, "Quit"},       {btn_min, "Minimize"},       {btn_help, "Help"},
        {btn_close, "Close"},    {skedt_artist, "Artist"},    {skedt_album, "Album"},
        {skcb_genre, "Genre"},   {btn_play, "Play"},          {btn_pause, "Pause"},
        {btn_stop, "Stop"},      {btn_freedb, "FreeDB lookup"}, {btn_refresh, "Refresh"},
        {btn_mp3, "MP3"},        {btn_wav, "WAV"},            {btn_wma, "WMA"},
        {btn_ogg, "OGG"},        {btn_ripcd, "Rip CD"},       {sklv_main, "Tracks"},
        {Edit1, "Track name"},   {pm_action, "Action"},       {pm_help, "Help"},
        {skpm_main, "Track list"},
    };
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(QString::fromLatin1(name));
    lbl_web->setAccessibleDescription(QStringLiteral("Opens the help pages"));
    for (TskImageButton *b : {btn_mp3, btn_wav, btn_wma, btn_ogg})
        b->setCheckable(true);
    btn_mp3->setChecked(true);
}
