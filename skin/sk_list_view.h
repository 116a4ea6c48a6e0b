#pragma once

#include "skin/sk_styled.h"

#include <QTreeWidget>

// Themed report-style list: a QTreeWidget framed by a one-pixel line in borderColor() (theme
// item 7). With frameShape() NoFrame it has no border at all.
class TskListView : public QTreeWidget, public TskStyled {
    Q_OBJECT
public:
    explicit TskListView(QWidget *parent = nullptr);

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);

protected:
    bool event(QEvent *event) override;
    void applyTheme(UIStyle style) override;

private:
    QColor m_border{0x68, 0x68, 0x68};
};
