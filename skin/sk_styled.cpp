#include "skin/sk_styled.h"

#include <QPixmapCache>

// The generated resource of theme bitmaps lives in a static library: pull it in explicitly.
static void initThemeResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(harvelo_themes);
        return true;
    }();
    Q_UNUSED(done);
}

void TskStyled::setUIStyle(UIStyle style)
{
    m_uiStyle = style;
    if (skTheme::isBuiltIn(style))
        applyTheme(style);
}

void TskStyled::takeFormTheme(UIStyle style)
{
    if (keepsOwnCustomStyle() && m_uiStyle == UIStyle::Custom)
        return;
    setUIStyle(style);
}

QPixmap skThemePixmap(const QString &name)
{
    if (name.isEmpty())
        return {};
    initThemeResources();
    QPixmap pixmap;
    const QString key = QStringLiteral("sktheme:") + name;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap.load(QStringLiteral(":/themes/") + name);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QPixmap skThemePixmap(UIStyle style, int item)
{
    return skThemePixmap(skTheme::bitmapName(style, item).value_or(QString()));
}

QColor skThemeColour(UIStyle style, int item, const QColor &fallback)
{
    return skTheme::colour(style, item).value_or(fallback);
}

QIcon skAppIcon()
{
    initThemeResources();
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/harvelo-%1.png").arg(side), QSize(side, side));
    return icon;
}
