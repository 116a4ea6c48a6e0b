#pragma once

#include "skin/sk_styled.h"

#include <QColor>

// A themed control framed in a border colour: theme item BoxBorderColour, or the colour the
// program sets. The control draws the frame itself with skDrawBorder.
template <class Widget>
class TskBordered : public Widget, public TskStyled {
public:
    using Widget::Widget;

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c)
    {
        m_border = c;
        this->update();
    }

protected:
    void takeBorderTheme(UIStyle style)
    {
        m_border = skThemeColour(style, skTheme::Item::BoxBorderColour, m_border);
    }

    QColor m_border{0x68, 0x68, 0x68};
};
