#include "skin/sk_tab_control.h"

#include "skin/sk_accessible.h"
#include "skin/sk_paint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>

using namespace skTheme;

TskTabControl::TskTabControl(QWidget *parent) : QWidget(parent), m_pages(new QStackedWidget(this))
{
    skInstallAccessibility();
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int index) {
        update();
        emit currentChanged(index);
    });
    setFocusPolicy(Qt::StrongFocus);
    addPageShortcuts();
    setUIStyle(UIStyle::WinXP);
}

// Work wherever the keyboard is in the window, inside a page's field too.
void TskTabControl::addPageShortcuts()
{
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto &[key, step] : keys) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { stepTab(step); });
    }
}

void TskTabControl::stepTab(int step)
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + step + count()) % count());
}

void TskTabControl::applyTheme(UIStyle style)
{
    m_panel = skThemeColour(style, Item::BoxFillColour, m_panel);
    m_border = skThemeColour(style, Item::BoxBorderColour, m_border);
    m_body = style == UIStyle::WinXP ? QColor(Qt::white) : m_panel;
    m_active = skTopLeftTransparent(skThemePixmap(style, Item::TabActive));
    m_inactive = skTopLeftTransparent(skThemePixmap(style, Item::TabInactive));
    m_line = skThemePixmap(style, Item::TabLine);
    m_stripHeight = integer(style, Item::TabStripHeight).value_or(m_stripHeight);
    relayout();
}

int TskTabControl::addTab(QWidget *page, const QString &caption)
{
    m_captions << caption;
    const int index = m_pages->addWidget(page);
    relayout();
    return index;
}

int TskTabControl::addTab(const QString &caption)
{
    return addTab(new QWidget, caption);
}

int TskTabControl::count() const { return m_pages->count(); }
QWidget *TskTabControl::page(int index) const { return m_pages->widget(index); }
QString TskTabControl::tabText(int index) const { return m_captions.value(index); }
int TskTabControl::currentIndex() const { return m_pages->currentIndex(); }
void TskTabControl::setCurrentIndex(int index) { m_pages->setCurrentIndex(index); }

void TskTabControl::setLeftMargin(int margin)
{
    m_leftMargin = margin;
    relayout();
}

void TskTabControl::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void TskTabControl::setTabPanelColor(const QColor &c)
{
    m_panel = c;
    update();
}

void TskTabControl::setBodyColor(const QColor &c)
{
    m_body = c;
    update();
}

int TskTabControl::tabWidth(int index) const
{
    QString caption = m_captions.value(index);
    caption.remove(QLatin1Char('&'));
    const int w = caption.isEmpty() ? 80 : fontMetrics().horizontalAdvance(caption) + 20;
    return qMax(15, w);
}

QRect TskTabControl::tabRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    int left = m_leftMargin;
    for (int i = 0; i < index; ++i)
        left += tabWidth(i);
    const int lowered = index == currentIndex() ? 1 : 0;
    return QRect(left, lowered, tabWidth(index), m_stripHeight - 1);
}

int TskTabControl::tabAt(const QPoint &pos) const
{
    if (pos.y() < 0 || pos.y() >= m_stripHeight)
        return -1;
    int left = m_leftMargin;
    for (int i = 0; i < qMin(count(), HitTestTabs); ++i) {
        if (pos.x() >= left && pos.x() < left + m_widths[i])
            return i;
        left += m_widths[i];
    }
    return -1;
}

QRect TskTabControl::pageRect() const
{
    return QRect(1, m_stripHeight, width() - 2, height() - m_stripHeight - 1);
}

void TskTabControl::relayout()
{
    for (int i = 0; i < HitTestTabs; ++i)
        m_widths[i] = i < count() ? tabWidth(i) : 0;
    m_pages->setGeometry(pageRect());
    update();
}

void TskTabControl::drawStrip(QPainter &p) const
{
    const int lineY = m_stripHeight - 1;
    p.fillRect(QRect(0, 0, width(), m_stripHeight), m_panel);
    p.drawPixmap(QRect(1, lineY, width() - 2, 1), m_line);
    p.fillRect(QRect(0, lineY, 1, 1), m_border);
    p.fillRect(QRect(width() - 1, lineY, 1, 1), m_border);
    // Inactive tabs first, so the lowered active tab covers the line where it joins the body.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count(); ++i) {
            const bool active = i == currentIndex();
            if (active != (pass == 1))
                continue;
            const QRect r = tabRect(i);
            skDrawThreeSlices(p, r, active ? m_active : m_inactive);
            p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                     QPalette::WindowText));
            p.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, m_captions[i]);
            if (active && hasFocus())
                skDrawFocusMark(p, r.adjusted(3, 2, -3, -2));
        }
    }
}

void TskTabControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect body(0, m_stripHeight - 1, width(), height() - m_stripHeight + 1);
    p.fillRect(body, m_body);
    skDrawBorder(p, body, m_border);
    drawStrip(p);
}

void TskTabControl::mousePressEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0)
        setCurrentIndex(index);
    QWidget::mousePressEvent(event);
}

void TskTabControl::keyPressEvent(QKeyEvent *event)
{
    const int last = count() - 1;
    int index = -1;
    switch (event->key()) {
    case Qt::Key_Left: index = qMax(0, currentIndex() - 1); break;
    case Qt::Key_Right: index = qMin(last, currentIndex() + 1); break;
    case Qt::Key_Home: index = 0; break;
    case Qt::Key_End: index = last; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (index >= 0)
        setCurrentIndex(index);
}

void TskTabControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void TskTabControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        relayout();
    QWidget::changeEvent(event);
}
