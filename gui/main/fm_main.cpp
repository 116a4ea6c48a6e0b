#include "gui/main/fm_main.h"

#include "disc/disc_change_probe.h"
#include "gui/main/app_resources.h"
#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "gui/services/window_placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QSoundEffect>
#include <QTimer>
#include <QWindow>

Tfm_main *fm_main = nullptr;

namespace {

QRegion roundedRegion(int w, int h, int corner)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, w, h), corner / 2.0, corner / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

} // namespace

Tfm_main::Tfm_main(QWidget *parent) : QWidget(parent, Qt::FramelessWindowHint)
{
    fm_main = this;
    setObjectName(QStringLiteral("fm_main"));
    setWindowTitle(QStringLiteral("Harvelo"));
    setFixedSize(kWidth, kHeight);
    // The Windows face is absent here; a condensed sans keeps its narrow widths, so the texts
    // fit the places the skin paints for them.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                              QStringLiteral("DejaVu Sans Condensed"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    createControls();
    createMenus();
    nameControls();
    setAcceptDrops(true);
    m_discProbe = std::make_unique<DiscChangeProbe>();
    m_discTimer = new QTimer(this);
    m_discTimer->setInterval(kDiscPollMs);
    connect(m_discTimer, &QTimer::timeout, this, &Tfm_main::pollDisc);
    connect(&AudioPlayer1, &::AudioPlayer::OnEndBlockPlay, this, &Tfm_main::AudioPlayer1EndBlockPlay);
    connect(&AudioPlayer1, &::AudioPlayer::OnRequestOnLoadBlock, this,
            &Tfm_main::AudioPlayer1EndBlockPlay);
    connect(&AudioPlayer1, &::AudioPlayer::OnEndPlay, this, &Tfm_main::AudioPlayer1EndPlay);
}

Tfm_main::~Tfm_main()
{
    if (fm_main == this)
        fm_main = nullptr;
}

void Tfm_main::FormCreate()
{
    version_text = QStringLiteral("1.20");
    lbl_version->setText(QStringLiteral("version ") + version_text);
    output_format = 0;

    initAppResources();
    // No audio device in tests; the click is harmless to skip there.
    if (qgetenv("HARVELO_AUDIO_OUTPUT") != "null") {
        m_click = new QSoundEffect(this);
        m_click->setSource(QUrl(QStringLiteral("qrc:/sounds/SOUND_CLICK.wav")));
    }

    for (QPixmap &pic : skin_pic)
        pic = QPixmap();
    setMask(roundedRegion(kWidth, kHeight, 22));

    AudioFile.setWmaFormatEnabled(true);
    AudioFilew.setWmaFormatEnabled(true);

    IniFile ini;
    ini.write(settings::cddbServer, AudioGrabber.cddbServerAddress());
    ini.write(settings::cgiScript, AudioGrabber.cddbCGIScript());
    // The window shows MP3 after every start; store it so that a rip does what the window shows.
    ini.write(settings::outputType, 0);
    ini.close();

    chooseSkinAtStart();

    btn_mp3->setPicNormal(skin_pic[23]);
    btn_mp3->setPicMouseOn(skin_pic[25]);
    output_format = 0;
    no_quit_prompt = false;
}

void Tfm_main::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_firstShowDone)
        return;
    m_firstShowDone = true;
    centreOnScreen(this);
    // The refresh may ask questions; run it once the window is on screen.
    QMetaObject::invokeMethod(this, &Tfm_main::FormShow, Qt::QueuedConnection);
}

void Tfm_main::FormShow()
{
    btn_refreshClick();
    shown = true;
    sklv_main->setFocus();
    m_discTimer->start();
}

void Tfm_main::playClick()
{
    if (m_click && m_click->status() != QSoundEffect::Error)
        m_click->play();
}

void Tfm_main::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (skin_pic[0].isNull())
        p.fillRect(rect(), palette().window());
    else {
        // A plain copy, as the skin's own face wants; smooth only for the large face on a
        // screen scaled between its sizes (150 %).
        p.setRenderHint(QPainter::SmoothPixmapTransform, skin_pic[0].devicePixelRatio() > 1.0);
        p.drawPixmap(rect(), skin_pic[0], skin_pic[0].rect());
    }
}

void Tfm_main::mousePressEvent(QMouseEvent *event)
{
    // Presses that reach the window itself are on its bare face: drag the borderless window.
    if (QWindow *w = windowHandle())
        w->startSystemMove();
    event->accept();
}

void Tfm_main::closeEvent(QCloseEvent *event)
{
    if (no_quit_prompt || services::prompter().confirm(QStringLiteral("Are you sure to quit?"), this))
        event->accept();
    else
        event->ignore();
}

void Tfm_main::contextMenuEvent(QContextMenuEvent *event)
{
    pm_action->popup(event->globalPos());
}

bool Tfm_main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lbl_web) {
        if (event->type() == QEvent::Enter)
            lbl_web->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
        else if (event->type() == QEvent::Leave)
            lbl_web->setStyleSheet(QStringLiteral("color: rgb(128,128,128); background: transparent;"));
        else if (event->type() == QEvent::MouseButtonRelease)
            WebSiteClick();
    } else if (watched == sklv_main->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        last_x = pos.x();
        last_y = pos.y();
    } else if (watched == Edit1 && event->type() == QEvent::FocusOut) {
        Edit1Exit();
    }
    return QWidget::eventFilter(watched, event);
}

void Tfm_main::btn_minClick()
{
    playClick();
    showMinimized();
}

void Tfm_main::btn_closeClick()
{
    playClick();
    close();
}

void Tfm_main::btn_helpClick()
{
    playClick();
}

void Tfm_main::sb_actionClick()
{
    pm_action->popup(QPoint(x() + sb_action->x(), y() + 50));
}

void Tfm_main::sb_helpClick()
{
    pm_help->popup(QPoint(x() + sb_help->x(), y() + 50));
}

void Tfm_main::sb_settingClick()
{
    fm_setting->exec();
    showFormatsInUse();
}

void Tfm_main::sb_quitClick()
{
    close();
}

void Tfm_main::ContentClick()
{
    services::desktop().openHelp();
}

void Tfm_main::WebSiteClick()
{
    // Harvelo has no web site of its own to send users to; its pages ship with the program.
    services::desktop().openHelp();
}

void Tfm_main::FormContextPopup()
{
    mi_editTrackName->setEnabled(sklv_main->currentItem() && sklv_main->currentItem()->isSelected());
}

void Tfm_main::waitForJobs()
{
    auto running = [] {
        return (fm_progress && fm_progress->workerRunning()) || (fm_encode && fm_encode->jobRunning())
               || (fm_decode && fm_decode->jobRunning());
    };
    if (!running())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    while (running())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    QApplication::restoreOverrideCursor();
}

void Tfm_main::ApplicationEvents1Exception()
{
    no_quit_prompt = true;
    const bool restart = services::prompter().confirm(
        QStringLiteral("A system error occurs,click Yes to execute again,click No to exit!"), this);
    close();
    if (restart)
        services::desktop().restartProgram();
}
