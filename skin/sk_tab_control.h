#pragma once

#include "skin/sk_styled.h"

#include <QWidget>

class QStackedWidget;

// Themed tab control with one page per tab. The strip (height item 72) lays the tabs out from
// leftMargin() without gaps, each as wide as its caption plus 20 pixels (80 for an empty
// caption, at least 15); the active tab is drawn one pixel lower. Tabs use the TAB_ACTIVE /
// TAB_INACTIVE bitmaps cut into three slices and the TAB_LINE bitmap under them; the body is
// white under WinXP and the tab panel colour (item 8) otherwise, framed in item 7.
// Keyboard: Tab reaches the strip, which then marks the active tab; Left/Right, Home/End move
// between the tabs there; Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown and Ctrl+PgUp switch the page
// from anywhere in the control's window, wrapping round.
class TskTabControl : public QWidget, public TskStyled {
    Q_OBJECT
public:
    static constexpr int HitTestTabs = 63;

    explicit TskTabControl(QWidget *parent = nullptr);

    // Adds a tab showing `page` (which becomes a child of the control); returns its index.
    int addTab(QWidget *page, const QString &caption);
    // Adds a tab with a new empty page.
    int addTab(const QString &caption);
    int count() const;
    QWidget *page(int index) const;
    QString tabText(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);

    int leftMargin() const { return m_leftMargin; }
    void setLeftMargin(int margin);
    int stripHeight() const { return m_stripHeight; }
    // A tab's rectangle in the control (the active tab one pixel lower).
    QRect tabRect(int index) const;
    // The tab under a point of the strip, or -1; only the first 63 tabs answer.
    int tabAt(const QPoint &pos) const;
    // The area of the pages, inside the body's frame.
    QRect pageRect() const;

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    QColor tabPanelColor() const { return m_panel; }
    void setTabPanelColor(const QColor &c);
    QColor bodyColor() const { return m_body; }
    void setBodyColor(const QColor &c);

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void applyTheme(UIStyle style) override;

private:
    int tabWidth(int index) const;
    void relayout();
    void addPageShortcuts();
    // The tab `step` places on, wrapping round.
    void stepTab(int step);
    void drawStrip(QPainter &p) const;

    QStackedWidget *m_pages;
    QStringList m_captions;
    int m_widths[HitTestTabs] = {};
    int m_leftMargin = 0;
    int m_stripHeight = 19;
    QColor m_border{0x68, 0x68, 0x68};
    QColor m_panel{0xEF, 0xEB, 0xDE};
    QColor m_body{Qt::white};
    QPixmap m_active, m_inactive, m_line;
};
