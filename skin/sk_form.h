#pragma once

#include "skin/sk_styled.h"

#include <QWidget>

class TskTitleBar;

// The skinned frame of a window: it makes `window` borderless, fills it, and draws the border
// (colour item 2, width item 4), the form colour (item 3) and its TskTitleBar, which shows the
// window title. Put the window's controls on the form as direct children inside clientRect()
// (a layout set on the form keeps to it by itself: the border and title bar are its contents
// margins). Setting a built-in UIStyle on the form passes it to the title bar and to the
// skinned direct children (buttons, check boxes, radio buttons and progress bars only when
// their own style is not Custom); children added later take it when they are first shown.
//
//     auto *form = new TskForm(this);           // in a QDialog's constructor
//     setWindowTitle(QStringLiteral("Setting")); // shown in the title bar
//     auto *ok = new TskButton(QStringLiteral("OK"), form);
class TskForm : public QWidget, public TskStyled {
    Q_OBJECT
public:
    explicit TskForm(QWidget *window);

    TskTitleBar *titleBar() const { return m_titleBar; }
    QRect clientRect() const { return contentsRect(); }

    QColor color() const { return m_color; }
    void setColor(const QColor &c);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &c);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    // Rounding of the window's corners (the ellipse size; 0 for square corners).
    int cornerRound() const { return m_cornerRound; }
    void setCornerRound(int round);

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void applyTheme(UIStyle style) override;

private:
    void relayout();
    void updateMask();

    QWidget *m_window;
    TskTitleBar *m_titleBar;
    QColor m_color{0xEF, 0xEB, 0xDE};
    QColor m_borderColor{0x00, 0x2C, 0xC8};
    int m_borderWidth = 3;
    int m_cornerRound = 13;
    QSize m_maskShape{-2, -2}; // the shape of the mask set last
    int m_maskRound = -1;
};
