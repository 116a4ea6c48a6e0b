#pragma once

#include "skin/sk_styled.h"

#include <QProgressBar>

// Themed progress bar: body in color() (item 8) framed in borderColor() (item 7); the done part
// repeats the bar picture (item 42, or 43 for a vertical bar) from the left (bottom). The
// percentage text is drawn only when isTextVisible(), which starts off.
class TskProgressBar : public QProgressBar, public TskStyled {
    Q_OBJECT
public:
    explicit TskProgressBar(QWidget *parent = nullptr);

    QColor color() const { return m_fill; }
    void setColor(const QColor &c);
    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    // The bar picture of the current orientation.
    QPixmap barPicture() const;
    void setBarPicture(Qt::Orientation orientation, const QPixmap &p);
    // The part of the body the bar covers now.
    QRect barRect() const;

protected:
    void paintEvent(QPaintEvent *) override;
    void applyTheme(UIStyle style) override;
    bool keepsOwnCustomStyle() const override { return true; }

private:
    QColor m_fill{0xEF, 0xEB, 0xDE};
    QColor m_border{0x68, 0x68, 0x68};
    QPixmap m_bar, m_barV;
};
