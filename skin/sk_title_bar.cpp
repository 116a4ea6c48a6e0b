#include "skin/sk_title_bar.h"

#include "skin/sk_accessible.h"
#include "skin/sk_form.h"
#include "skin/sk_paint.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

using namespace skTheme;

namespace {

constexpr int kButtonGap = 2;

// Caption colours that read on each theme's title bitmaps.
QColor captionColourFor(UIStyle style)
{
    return style == UIStyle::MacOS || style == UIStyle::Protein ? QColor(Qt::black)
                                                                : QColor(Qt::white);
}

int firstItemOf(TskTitleBar::ButtonType type)
{
    switch (type) {
    case TskTitleBar::skMax: return Item::TitleBtnMax;
    case TskTitleBar::skMin: return Item::TitleBtnMin;
    case TskTitleBar::skClose: return Item::TitleBtnClose;
    case TskTitleBar::skHelp: return Item::TitleBtnHelp;
    case TskTitleBar::skControlBox: return Item::TitleBtnCtlBox;
    case TskTitleBar::skCustom: break;
    }
    return 0;
}

} // namespace

TskTitleBar::TskTitleBar(QWidget *parent) : QWidget(parent)
{
    skInstallAccessibility();
    setMouseTracking(true);
    // Only the weight is the bar's own: family and size follow the window.
    QFont bold;
    bold.setBold(true);
    setFont(bold);
    setButtons({skClose});
    setUIStyle(UIStyle::WinXP);
}

void TskTitleBar::applyTheme(UIStyle style)
{
    setSections(skThemePixmap(style, Item::TitleLeft), skThemePixmap(style, Item::TitleClient),
                skThemePixmap(style, Item::TitleRight));
    m_leftOffset = integer(style, Item::TitleLeftOffset).value_or(m_leftOffset);
    m_rightOffset = integer(style, Item::TitleRightOffset).value_or(m_rightOffset);
    m_captionColor = captionColourFor(style);
    if (QWidget *w = window(); w != this)
        w->setMinimumWidth(integer(style, Item::FormMinWidth).value_or(w->minimumWidth()));
    if (auto *form = qobject_cast<TskForm *>(parentWidget()))
        form->setCornerRound(integer(style, Item::FormCornerRound).value_or(form->cornerRound()));
    for (Button &b : m_buttons)
        themeButton(b, style);
    update();
}

void TskTitleBar::themeButton(Button &b, UIStyle style) const
{
    if (!isBuiltIn(style))
        return;
    b.transparent = flag(style, Item::TitleBtnTransparent).value_or(b.transparent);
    b.top = integer(style, Item::TitleBtnTop).value_or(b.top);
    const int first = firstItemOf(b.type);
    if (first == 0) // skCustom keeps its own pictures
        return;
    for (int state = 0; state < 3; ++state) {
        b.pics[state] = skThemePixmap(style, first + state);
        b.restorePics[state] = skThemePixmap(style, Item::TitleBtnRestore + state);
    }
}

void TskTitleBar::setButtons(const QList<ButtonType> &types)
{
    m_buttons.clear();
    for (ButtonType type : types) {
        Button b;
        b.type = type;
        themeButton(b, uiStyle());
        m_buttons << b;
    }
    m_hot = m_pressed = -1;
    update();
}

void TskTitleBar::setSections(const QPixmap &left, const QPixmap &client, const QPixmap &right)
{
    m_left = left;
    m_client = client;
    m_right = right;
    setFixedHeight(sizeHint().height());
    update();
}

void TskTitleBar::setCaptionColor(const QColor &c)
{
    m_captionColor = c;
    update();
}

QSize TskTitleBar::sizeHint() const
{
    return QSize(200, m_left.isNull() ? 22 : m_left.height());
}

QString TskTitleBar::caption() const
{
    return window() == this ? QString() : window()->windowTitle();
}

QRect TskTitleBar::buttonRect(int index) const
{
    // Left buttons from the left edge, right buttons from the right edge, in list order.
    int left = 4 + m_leftOffset;
    int right = width() - 4 + m_rightOffset;
    for (int i = m_buttons.size() - 1; i >= 0; --i) {
        const Button &b = m_buttons[i];
        const QSize size = b.pics[0].isNull() ? QSize(16, 16) : b.pics[0].size();
        if (b.type != skControlBox) {
            right -= size.width();
            if (i == index)
                return QRect(QPoint(right, b.top), size);
            right -= kButtonGap;
        }
    }
    for (int i = 0; i < m_buttons.size(); ++i) {
        const Button &b = m_buttons[i];
        const QSize size = b.pics[0].isNull() ? QSize(16, 16) : b.pics[0].size();
        if (b.type == skControlBox) {
            if (i == index)
                return QRect(QPoint(left, b.top), size);
            left += size.width() + kButtonGap;
        }
    }
    return {};
}

int TskTitleBar::buttonAt(const QPoint &pos) const
{
    for (int i = 0; i < m_buttons.size(); ++i)
        if (buttonRect(i).contains(pos))
            return i;
    return -1;
}

QPixmap TskTitleBar::buttonPicture(int index) const
{
    const Button &b = m_buttons[index];
    const bool restore = b.type == skMax && window()->isMaximized();
    const QPixmap *pics = restore ? b.restorePics : b.pics;
    const int state = index == m_pressed && index == m_hot ? 2 : index == m_hot ? 1 : 0;
    const QPixmap pic = pics[state].isNull() ? pics[0] : pics[state];
    return b.transparent ? skTopLeftTransparent(pic) : pic;
}

void TskTitleBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int rightLeft = width() - m_right.width();
    p.drawPixmap(QRect(m_left.width(), 0, qMax(0, rightLeft - m_left.width()), height()), m_client);
    p.drawPixmap(0, 0, m_left);
    p.drawPixmap(rightLeft, 0, m_right);
    // The caption runs between the left buttons and the right ones.
    int textLeft = 8, textRight = width() - 4;
    for (int i = 0; i < m_buttons.size(); ++i) {
        const QRect r = buttonRect(i);
        p.drawPixmap(r.topLeft(), buttonPicture(i));
        if (m_buttons[i].type == skControlBox)
            textLeft = qMax(textLeft, r.right() + 5);
        else
            textRight = qMin(textRight, r.left() - 4);
    }
    const QRect text(textLeft, 0, qMax(0, textRight - textLeft), height());
    p.setPen(m_captionColor);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(caption(), Qt::ElideRight, text.width()));
}

void TskTitleBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = buttonAt(event->position().toPoint());
    m_hot = m_pressed;
    update();
    if (m_pressed < 0 && !window()->isMaximized()) {
        if (QWindow *handle = window()->windowHandle())
            handle->startSystemMove();
    }
}

void TskTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    const int hot = buttonAt(event->position().toPoint());
    if (hot != m_hot) {
        m_hot = hot;
        update();
    }
}

void TskTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int pressed = m_pressed;
    m_pressed = -1;
    update();
    if (pressed >= 0 && buttonAt(event->position().toPoint()) == pressed)
        runButton(pressed);
}

void TskTitleBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || buttonAt(event->position().toPoint()) >= 0)
        return;
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].type == skMax) {
            runButton(i);
            return;
        }
    }
}

void TskTitleBar::leaveEvent(QEvent *)
{
    m_hot = -1;
    update();
}

void TskTitleBar::runButton(int index)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    switch (m_buttons[index].type) {
    case skMax: toggleMaximized(); break;
    case skMin: minimize(); break;
    case skClose: window()->close(); break;
    case skControlBox:
        if (QMenu *menu = m_buttons[index].controlBoxMenu)
            menu->popup(mapToGlobal(buttonRect(index).bottomLeft()));
        break;
    case skHelp: emit helpButtonClick(); break;
    case skCustom: emit customButtonClick(index); break;
    }
}

void TskTitleBar::toggleMaximized()
{
    QWidget *w = window();
    if (w->isMaximized()) {
        w->showNormal();
    } else {
        // A form frame first fits the screen's work area, placed at its top-left corner.
        if (qobject_cast<TskForm *>(parentWidget()) && w->screen())
            w->setGeometry(w->screen()->availableGeometry());
        w->showMaximized();
    }
    update();
}

void TskTitleBar::minimize()
{
    QWidget *w = window();
    // The main form takes the whole application down; any other form only itself.
    if (w->parentWidget() == nullptr) {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible())
                top->showMinimized();
    } else {
        w->showMinimized();
    }
}
