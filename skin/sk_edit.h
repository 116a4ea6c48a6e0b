#pragma once

#include "skin/sk_styled.h"

#include <QLineEdit>

// Themed single-line edit: a white field framed in borderColor() (theme item 7).
class TskEdit : public QLineEdit, public TskStyled {
    Q_OBJECT
public:
    explicit TskEdit(QWidget *parent = nullptr);
    explicit TskEdit(const QString &text, QWidget *parent = nullptr);

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);

protected:
    void paintEvent(QPaintEvent *event) override;
    void applyTheme(UIStyle style) override;

private:
    QColor m_border{0x68, 0x68, 0x68};
};
