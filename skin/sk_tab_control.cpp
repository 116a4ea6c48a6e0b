#include "skin/sk_tab_control.h"

#include "skin/sk_accessible.h"
#include "skin/sk_paint.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>

using namespace skTheme;

TskTabControl::TskTabControl(QWidget *parent) : QWidget(parent), m_pages(new QStackedWidget(this))
{
    skInstallAccessibility();
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int index) {
        update();
        emit currentChanged(index);
    });
    setUIStyle(UIStyle::WinXP);
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
