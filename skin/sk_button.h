#pragma once

#include "skin/sk_styled.h"

#include <QPushButton>

// Themed push button. Its normal, mouse-on and mouse-down pictures come from the theme's
// BUTTON bitmaps (or stay as set while the style is Custom) and are fitted to the button's size
// (unscaled halves, stretched middle line). States: pressed while the left button is held over
// it, hot while the pointer is over it, else normal; disabled greys the caption. A QPushButton,
// so default/autoDefault and clicked() behave as usual in dialogs.
class TskButton : public QPushButton, public TskStyled {
    Q_OBJECT
public:
    enum class State { Normal, Hot, Pressed, Disabled };

    explicit TskButton(QWidget *parent = nullptr);
    explicit TskButton(const QString &caption, QWidget *parent = nullptr);

    QPixmap picNormal() const { return m_pics[0]; }
    QPixmap picMouseOn() const { return m_pics[1]; }
    QPixmap picMouseDown() const { return m_pics[2]; }
    void setPicNormal(const QPixmap &p);
    void setPicMouseOn(const QPixmap &p);
    void setPicMouseDown(const QPixmap &p);
    // Whether the colour of a picture's top-left pixel is see-through.
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    // The fill under the picture.
    QColor color() const { return m_color; }
    void setColor(const QColor &c);

    State state() const;
    // The picture for the current state.
    QPixmap currentPicture() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;
    void applyTheme(UIStyle style) override;
    bool keepsOwnCustomStyle() const override { return true; }

private:
    QPixmap m_pics[3];
    QColor m_color{0xEF, 0xEB, 0xDE};
    bool m_transparent = false;
    bool m_hot = false;
};
