#include "skin/sk_edit.h"

#include "skin/sk_paint.h"

#include <QPainter>

TskEdit::TskEdit(QWidget *parent) : TskEdit(QString(), parent) {}

namespace {

// A disabled field still shows a value (the output directory): its text keeps a contrast of
// well over 3:1 on the form colour of every theme (about 5:1 on the lightest).
const QColor kDisabledText(0x5F, 0x5F, 0x5F);

} // namespace

TskEdit::TskEdit(const QString &text, QWidget *parent) : TskBordered(text, parent)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
    setPalette(pal);
    setFrame(false);
    setTextMargins(3, 1, 2, 1);
    setUIStyle(UIStyle::WinXP);
}

void TskEdit::applyTheme(UIStyle style)
{
    takeBorderTheme(style);
    // Disabled, the field takes the form's colour, on which kDisabledText stays readable.
    QPalette pal = palette();
    pal.setColor(QPalette::Disabled, QPalette::Base,
                 skThemeColour(style, skTheme::Item::FormColour, pal.color(QPalette::Disabled, QPalette::Base)));
    pal.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
    setPalette(pal);
    update();
}

void TskEdit::paintEvent(QPaintEvent *event)
{
    {
        QPainter p(this);
        p.fillRect(rect(), palette().brush(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                           QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter p(this);
    skDrawBorder(p, rect(), m_border);
}
