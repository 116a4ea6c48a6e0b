#pragma once

#include "skin/sk_styled.h"

#include <QGroupBox>

// Themed group box: body filled with color() (item 8), framed in borderColor() (item 7), its
// caption in captionColor() (item 9) over the top line.
class TskGroupBox : public QGroupBox, public TskStyled {
    Q_OBJECT
public:
    explicit TskGroupBox(QWidget *parent = nullptr);
    explicit TskGroupBox(const QString &caption, QWidget *parent = nullptr);

    QColor color() const { return m_fill; }
    void setColor(const QColor &c);
    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    QColor captionColor() const { return m_caption; }
    void setCaptionColor(const QColor &c);

protected:
    void paintEvent(QPaintEvent *) override;
    void applyTheme(UIStyle style) override;

private:
    QColor m_fill{0xEF, 0xEB, 0xDE};
    QColor m_border{0x68, 0x68, 0x68};
    QColor m_caption{0x02, 0x46, 0xCF};
};
