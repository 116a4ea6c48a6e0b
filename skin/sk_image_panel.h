#pragma once

#include "skin/sk_styled.h"

#include <QWidget>

// A panel that shows a picture (stretched over the panel, or drawn once at its top-left
// corner) on color(), the form colour (item 3) under a built-in theme.
class TskImagePanel : public QWidget, public TskStyled {
    Q_OBJECT
public:
    explicit TskImagePanel(QWidget *parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &p);
    bool stretch() const { return m_stretch; }
    void setStretch(bool on);
    QColor color() const { return m_color; }
    void setColor(const QColor &c);

protected:
    void paintEvent(QPaintEvent *) override;
    void applyTheme(UIStyle style) override;

private:
    QPixmap m_picture;
    QColor m_color{0xEF, 0xEB, 0xDE};
    bool m_stretch = false;
};
