#include "skin/sk_popup_menu.h"

#include "skin/sk_paint.h"

#include <QActionEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

using namespace skTheme;

// Draws the items of one menu after a TskMenuLook; one instance per menu, owned by it.
class TskMenuStyle : public QProxyStyle {
public:
    explicit TskMenuStyle(const TskMenuLook &look) : m_look(look) {}
    void setLook(const TskMenuLook &look) { m_look = look; }

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth: return 1;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type != CT_MenuItem || !item)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            return QSize(m_look.sideBarWidth + 8, m_look.separatorHeight);
        QFont font = item->font;
        font.setBold(item->menuItemType == QStyleOptionMenuItem::DefaultItem);
        const int text = QFontMetrics(font).horizontalAdvance(item->text);
        return QSize(m_look.sideBarWidth + 4 + text + 40, m_look.itemHeight);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *p,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelMenu)
            p->fillRect(option->rect, m_look.background);
        else if (element == PE_FrameMenu)
            skDrawBorder(*p, option->rect, m_look.border);
        else
            QProxyStyle::drawPrimitive(element, option, p, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *p,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuItem && item)
            drawItem(*item, p);
        else if (element == CE_MenuEmptyArea)
            p->fillRect(option->rect, m_look.background);
        else
            QProxyStyle::drawControl(element, option, p, widget);
    }

private:
    void drawBackground(const QStyleOptionMenuItem &item, QPainter *p, bool highlighted) const
    {
        const QRect r = item.rect;
        if (m_look.style == UIStyle::MacOS) {
            p->drawPixmap(r, highlighted ? m_look.selectPicture : m_look.barPicture);
            return;
        }
        if (highlighted) {
            p->fillRect(r, m_look.selectedFill);
            skDrawBorder(*p, r, m_look.selectedBorder);
            return;
        }
        p->fillRect(QRect(r.left(), r.top(), m_look.sideBarWidth, r.height()), m_look.sideBar);
        p->fillRect(r.adjusted(m_look.sideBarWidth, 0, 0, 0), m_look.background);
    }

    void drawMark(const QStyleOptionMenuItem &item, QPainter *p) const
    {
        const QRect bar(item.rect.left(), item.rect.top(), m_look.sideBarWidth, item.rect.height());
        if (item.checked && !m_look.checkMark.isNull()) {
            const QRect mark(QPoint(), m_look.checkMark.size());
            p->drawPixmap(mark.translated(bar.center() - mark.center()), m_look.checkMark);
        } else if (!item.icon.isNull()) {
            const QIcon::Mode mode = item.state & State_Enabled ? QIcon::Normal : QIcon::Disabled;
            item.icon.paint(p, bar.adjusted(3, 2, -3, -2), Qt::AlignCenter, mode);
        }
    }

    void drawSubmenuArrow(const QRect &r, QPainter *p, const QColor &colour) const
    {
        const QPoint c(r.right() - 8, r.center().y());
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(colour);
        p->drawPolygon(QPolygon({c + QPoint(-2, -4), c + QPoint(2, 0), c + QPoint(-2, 4)}));
        p->restore();
    }

    void drawItem(const QStyleOptionMenuItem &item, QPainter *p) const
    {
        const bool enabled = item.state & State_Enabled;
        const bool highlighted = enabled && (item.state & State_Selected);
        drawBackground(item, p, highlighted);
        const QRect r = item.rect;
        if (item.menuItemType == QStyleOptionMenuItem::Separator) {
            const int y = r.top() + r.height() / 2;
            p->fillRect(QRect(r.left() + m_look.sideBarWidth + 4, y,
                              r.width() - m_look.sideBarWidth - 6, 1),
                        m_look.separator);
            return;
        }
        drawMark(item, p);
        const QColor colour = !enabled ? QColor(0x80, 0x80, 0x80)
                              : highlighted ? m_look.selectedText
                                            : m_look.text;
        QFont font = item.font;
        font.setBold(item.menuItemType == QStyleOptionMenuItem::DefaultItem);
        p->setFont(font);
        p->setPen(colour);
        const QRect textRect = r.adjusted(m_look.sideBarWidth + 4, 4, -18, 0);
        const int tab = item.text.indexOf(QLatin1Char('\t'));
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                    item.text.left(tab));
        if (tab >= 0)
            p->drawText(textRect, Qt::AlignRight | Qt::AlignTop, item.text.mid(tab + 1));
        if (item.menuItemType == QStyleOptionMenuItem::SubMenu)
            drawSubmenuArrow(r, p, colour);
    }

    TskMenuLook m_look;
};

TskMenuLook TskMenuLook::fromTheme(UIStyle style, const TskMenuLook &fallback)
{
    if (!isBuiltIn(style))
        return fallback;
    TskMenuLook l;
    l.style = style;
    l.itemHeight = integer(style, Item::MenuItemHeight).value_or(fallback.itemHeight);
    l.separatorHeight =
        integer(style, Item::MenuSeparatorHeight).value_or(fallback.separatorHeight);
    l.sideBarWidth = integer(style, Item::MenuSideBarWidth).value_or(fallback.sideBarWidth);
    l.border = skThemeColour(style, Item::FormBorderColour, fallback.border);
    l.sideBar = skThemeColour(style, Item::MenuSideBarColour, fallback.sideBar);
    l.background = skThemeColour(style, Item::MenuBackground, fallback.background);
    l.separator = skThemeColour(style, Item::MenuSeparatorColour, fallback.separator);
    l.selectedBorder = skThemeColour(style, Item::MenuSelectedBorder, fallback.selectedBorder);
    l.selectedFill = skThemeColour(style, Item::MenuSelectedFill, fallback.selectedFill);
    l.selectedText = skThemeColour(style, Item::MenuSelectedText, fallback.selectedText);
    l.text = skThemeColour(style, Item::MenuText, fallback.text);
    l.checkMark = skThemePixmap(style, Item::MenuChecked);
    if (style == UIStyle::MacOS) {
        l.barPicture = skThemePixmap(QStringLiteral("MACOS_MENU_BAR"));
        l.selectPicture = skThemePixmap(QStringLiteral("MACOS_MENU_SELECT"));
    }
    return l;
}

TskPopupMenu::TskPopupMenu(QWidget *parent) : TskPopupMenu(QString(), parent) {}

TskPopupMenu::TskPopupMenu(const QString &title, QWidget *parent) : QMenu(title, parent)
{
    setUIStyle(UIStyle::WinXP);
}

void TskPopupMenu::applyTheme(UIStyle style)
{
    setLook(TskMenuLook::fromTheme(style, m_look));
}

void TskPopupMenu::setLook(const TskMenuLook &look)
{
    m_look = look;
    restyle(this);
    for (QMenu *sub : findChildren<QMenu *>())
        if (!qobject_cast<TskPopupMenu *>(sub))
            restyle(sub);
}

void TskPopupMenu::restyle(QMenu *menu)
{
    auto *style = menu->findChild<TskMenuStyle *>(QString(), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new TskMenuStyle(m_look);
        style->setParent(menu);
        menu->setStyle(style);
    }
    style->setLook(m_look);
    menu->update();
}

void TskPopupMenu::adoptSubmenu(QAction *action)
{
    QMenu *sub = QMenu::menuInAction(action);
    if (!sub || qobject_cast<TskPopupMenu *>(sub))
        return;
    restyle(sub);
    sub->installEventFilter(this);
}

void TskPopupMenu::actionEvent(QActionEvent *event)
{
    QMenu::actionEvent(event);
    if (event->type() == QEvent::ActionAdded)
        adoptSubmenu(event->action());
}

bool TskPopupMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ActionAdded && qobject_cast<QMenu *>(watched))
        adoptSubmenu(static_cast<QActionEvent *>(event)->action());
    return QMenu::eventFilter(watched, event);
}
