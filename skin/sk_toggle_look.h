#pragma once

#include "skin/sk_styled.h"

#include <array>

class QAbstractButton;
class QPainter;

// The eight pictures of a check box or radio button, in theme item order: disabled ticked,
// disabled clear, then ticked and clear for normal, mouse-on and mouse-down. The picture is
// chosen afresh from the ticked, enabled and pointer states at every paint.
class TskToggleLook {
public:
    enum class Pointer { Normal, MouseOn, MouseDown };
    static constexpr int Count = 8;

    // Take the eight bitmaps starting at theme item `firstItem`.
    void takeTheme(UIStyle style, int firstItem);
    void setPicture(int index, const QPixmap &p) { m_pics[index] = p; }
    QPixmap picture(int index) const { return m_pics[index]; }

    // Index into the eight pictures for the given states.
    static int pictureIndex(bool ticked, bool enabled, Pointer pointer);
    QPixmap currentPicture(const QAbstractButton *button, bool hot) const;

    // Picture at the left, vertically centred, caption 4 pixels to its right, focus mark.
    void paint(QPainter &p, const QAbstractButton *button, bool hot) const;
    QSize sizeHint(const QAbstractButton *button) const;

private:
    std::array<QPixmap, Count> m_pics;
};
