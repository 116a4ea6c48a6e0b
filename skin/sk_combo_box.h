#pragma once

#include "skin/sk_styled.h"

#include <QComboBox>

// Themed combo box: a white field framed in borderColor() with a drop-down button filled in
// buttonColor() (item 73) whose arrow is drawn in borderColor() (item 7).
class TskComboBox : public QComboBox, public TskStyled {
    Q_OBJECT
public:
    explicit TskComboBox(QWidget *parent = nullptr);

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    QColor buttonColor() const { return m_button; }
    void setButtonColor(const QColor &c);
    // The drop-down button's rectangle.
    QRect buttonRect() const;

protected:
    void paintEvent(QPaintEvent *) override;
    void applyTheme(UIStyle style) override;

private:
    void drawArrow(QPainter &p, const QRect &button) const;
    QColor m_border{0x68, 0x68, 0x68};
    QColor m_button{0xEF, 0xEB, 0xDE};
};
