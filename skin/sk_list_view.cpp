#include "skin/sk_list_view.h"

#include "skin/sk_paint.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// A selected row's check box looks as on any other row: on the selection colour the style
// would draw the tick pale, and a ticked row would look clear.
class PlainCheckBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(p, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!(option.state & QStyle::State_Selected)
            || !(item.features & QStyleOptionViewItem::HasCheckIndicator))
            return;
        const QWidget *view = option.widget;
        QStyle *style = view ? view->style() : QApplication::style();
        QStyleOptionViewItem box = item;
        box.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, view);
        box.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        box.state |= item.checkState == Qt::Checked     ? QStyle::State_On
                     : item.checkState == Qt::Unchecked ? QStyle::State_Off
                                                        : QStyle::State_NoChange;
        p->fillRect(box.rect, option.palette.base());
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, p, view);
    }
};

} // namespace

TskListView::TskListView(QWidget *parent) : TskBordered(parent)
{
    setItemDelegate(new PlainCheckBoxDelegate(this));
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
