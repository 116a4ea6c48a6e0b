#pragma once

#include "skin/sk_bordered.h"

#include <QTreeWidget>

// Themed report-style list: a QTreeWidget framed by a one-pixel line in borderColor() (theme
// item 7). With frameShape() NoFrame it has no border at all.
class TskListView : public TskBordered<QTreeWidget> {
    Q_OBJECT
public:
    explicit TskListView(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void applyTheme(UIStyle style) override;
};
