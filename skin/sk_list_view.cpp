#include "skin/sk_list_view.h"

#include "skin/sk_paint.h"

#include <QEvent>
#include <QPainter>

TskListView::TskListView(QWidget *parent) : TskBordered(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setUIStyle(UIStyle::WinXP);
}

void TskListView::applyTheme(UIStyle style)
{
    takeBorderTheme(style);
    update();
}

bool TskListView::event(QEvent *event)
{
    const bool result = QTreeWidget::event(event);
    // The frame belongs to the scroll area itself, outside the viewport: draw ours over it.
    if (event->type() == QEvent::Paint && frameShape() != QFrame::NoFrame) {
        QPainter p(this);
        skDrawBorder(p, rect(), m_border, frameWidth());
    }
    return result;
}
