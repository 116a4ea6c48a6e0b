#pragma once

#include "skin/sk_styled.h"

#include <QAbstractButton>

// Image button: draws its own four pictures whatever its UIStyle: PicMouseDown while pressed,
// PicMouseOn while the pointer is over it, PicDisabled when disabled, else PicNormal (a
// missing picture falls back to PicNormal). It sizes itself to its normal picture. Tab reaches
// it, and then it shows the focus mark over its picture.
class TskImageButton : public QAbstractButton, public TskStyled {
    Q_OBJECT
public:
    explicit TskImageButton(QWidget *parent = nullptr);

    QPixmap PicNormal, PicMouseOn, PicMouseDown, PicDisabled;
    void setPictures(const QPixmap &normal, const QPixmap &mouseOn, const QPixmap &mouseDown);
    void setPicNormal(const QPixmap &p);
    void setPicMouseOn(const QPixmap &p);
    void setPicMouseDown(const QPixmap &p);
    void setPicDisabled(const QPixmap &p);
    // The picture the button shows now.
    const QPixmap &currentPicture() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;
    void applyTheme(UIStyle) override {}

private:
    void adjustToPicture();
    bool m_hover = false;
};
