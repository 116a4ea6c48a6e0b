#include "skin/sk_paint.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

QPixmap skTopLeftTransparent(const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return pixmap;
    const QImage image = pixmap.toImage();
    QPixmap result = pixmap;
    result.setMask(
        QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, 0), Qt::MaskInColor)));
    return result;
}

void skDrawFitted(QPainter &p, const QRect &target, const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return;
    const int w = pixmap.width(), h = pixmap.height();
    const int left = w / 2, right = w - left - 1;
    const int top = h / 2, bottom = h - top - 1;
    if (target.width() < w || target.height() < h) {
        p.drawPixmap(target, pixmap);
        return;
    }
    // Source and target column and row bounds: unscaled ends, one stretched middle line.
    const int sx[] = {0, left, left + 1, w};
    const int tx[] = {target.left(), target.left() + left, target.right() + 1 - right,
                      target.right() + 1};
    const int sy[] = {0, top, top + 1, h};
    const int ty[] = {target.top(), target.top() + top, target.bottom() + 1 - bottom,
                      target.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect src(sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
            const QRect dst(tx[col], ty[row], tx[col + 1] - tx[col], ty[row + 1] - ty[row]);
            if (!src.isEmpty() && !dst.isEmpty())
                p.drawPixmap(dst, pixmap, src);
        }
    }
}

void skDrawThreeSlices(QPainter &p, const QRect &target, const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return;
    const int slice = pixmap.width() / 3;
    const int h = pixmap.height();
    const int middle = qMax(0, target.width() - 2 * slice);
    p.drawPixmap(QRect(target.left(), target.top(), slice, target.height()), pixmap,
                 QRect(0, 0, slice, h));
    p.drawPixmap(QRect(target.left() + slice, target.top(), middle, target.height()), pixmap,
                 QRect(slice, 0, pixmap.width() - 2 * slice, h));
    p.drawPixmap(QRect(target.left() + slice + middle, target.top(), slice, target.height()),
                 pixmap, QRect(pixmap.width() - slice, 0, slice, h));
}

void skDrawBorder(QPainter &p, const QRect &rect, const QColor &colour, int width)
{
    for (int i = 0; i < width; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
    }
}

void skDrawFocusMark(QPainter &p, const QRect &rect)
{
    // Black dots on a white line: whatever a skin or theme paints under the mark, one of the
    // two stands out from it.
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    QPen dots(Qt::black, 1);
    dots.setStyle(Qt::DotLine);
    p.setPen(dots);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.restore();
}
