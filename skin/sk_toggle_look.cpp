#include "skin/sk_toggle_look.h"

#include "skin/sk_paint.h"

#include <QAbstractButton>
#include <QPainter>

namespace {
constexpr int kBox = 13;
constexpr int kGap = 4;
} // namespace

void TskToggleLook::takeTheme(UIStyle style, int firstItem)
{
    for (int i = 0; i < Count; ++i)
        m_pics[i] = skThemePixmap(style, firstItem + i);
}

int TskToggleLook::pictureIndex(bool ticked, bool enabled, Pointer pointer)
{
    const int clear = ticked ? 0 : 1;
    if (!enabled)
        return clear;
    return 2 + 2 * static_cast<int>(pointer) + clear;
}

QPixmap TskToggleLook::currentPicture(const QAbstractButton *button, bool hot) const
{
    const Pointer pointer = button->isDown() ? Pointer::MouseDown
                            : hot            ? Pointer::MouseOn
                                             : Pointer::Normal;
    return m_pics[pictureIndex(button->isChecked(), button->isEnabled(), pointer)];
}

void TskToggleLook::paint(QPainter &p, const QAbstractButton *button, bool hot) const
{
    const QPixmap pic = currentPicture(button, hot);
    const int size = pic.isNull() ? kBox : pic.height();
    const int top = (button->height() - size) / 2;
    if (pic.isNull())
        skDrawBorder(p, QRect(0, top, kBox, kBox), QColor(0x68, 0x68, 0x68));
    else
        p.drawPixmap(0, top, pic);
    const int textLeft = (pic.isNull() ? kBox : pic.width()) + kGap;
    const QRect textRect(textLeft, 0, button->width() - textLeft, button->height());
    p.setPen(button->isEnabled() ? button->palette().color(QPalette::WindowText)
                                 : QColor(0x80, 0x80, 0x80));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    p.drawText(textRect, flags, button->text());
    if (button->hasFocus() && (button->focusPolicy() & Qt::TabFocus) && !button->text().isEmpty()) {
        const QRect used = p.boundingRect(textRect, flags, button->text());
        skDrawFocusMark(p, used.adjusted(-1, 0, 1, 0));
    }
}

QSize TskToggleLook::sizeHint(const QAbstractButton *button) const
{
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    return QSize(kBox + kGap + text.width() + 2, qMax(kBox + 2, text.height() + 2));
}
