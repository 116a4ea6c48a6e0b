#pragma once

#include "skin/sk_bordered.h"

#include <QLineEdit>

// Themed single-line edit: a white field framed in borderColor() (theme item 7).
class TskEdit : public TskBordered<QLineEdit> {
    Q_OBJECT
public:
    explicit TskEdit(QWidget *parent = nullptr);
    explicit TskEdit(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void applyTheme(UIStyle style) override;
};
