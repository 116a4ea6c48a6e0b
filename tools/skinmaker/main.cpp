// The skin maker: draws Harvelo's skins and theme bitmaps.
//
//   harvelo_skinmaker make --skins DIR --builtin FILE --themes DIR --header FILE --icons DIR
//       the five shipped skins DIR/skin1.skn..skin5.skn, the built-in skin, the theme bitmaps
//       and action-menu icons with their resource list (themes.qrc), the header holding
//       builtin_skin_size and the program's icon in the hicolor layout (also in themes.qrc)
//   harvelo_skinmaker append SKIN EXECUTABLE
//       appends a skin to an executable
//   harvelo_skinmaker sheet SKIN OUT.png
//       a contact sheet of the 45 pictures of a skin, for checking its pictures by eye

#include "app_icon_art.h"
#include "art.h"
#include "button_art.h"
#include "face_art.h"
#include "menu_icon_art.h"
#include "schemes.h"
#include "theme_art.h"

#include "skin/sk_menu_icons.h"
#include "skin/base/sk_theme.h"
#include "skin/base/skin_file.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

namespace {

SkinFile::Images drawSkin(const Scheme &s, int scale = 1)
{
    SkinFile::Images pictures;
    pictures[0] = face::draw(s, scale);
    drawButtons(s, pictures, scale);
    return pictures;
}

// A skin with its pictures for screens at 200 % as well.
QByteArray encodeSkin(const Scheme &s)
{
    const SkinFile::Images doubled = drawSkin(s, 2);
    return SkinFile::encode(drawSkin(s), &doubled);
}

// Writes only when the content differs, so an unchanged header rebuilds nothing.
bool writeIfChanged(const QString &path, const QByteArray &content)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == content)
        return true;
    old.close();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

// The program's icon at every size, for the window: :/icons/harvelo-N.png.
QByteArray iconResources(const QString &themeDir, const QString &iconDir)
{
    QByteArray qrc = "  <qresource prefix=\"/icons\">\n";
    for (int side : appIcon::Sizes) {
        const QString file = QDir(iconDir).filePath(
            QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(side).arg(appIcon::Name));
        qrc += "    <file alias=\"harvelo-" + QByteArray::number(side) + ".png\">" +
               QDir(themeDir).relativeFilePath(file).toUtf8() + "</file>\n";
    }
    return qrc + "  </qresource>\n";
}

bool makeThemes(const QString &dir, const QString &iconDir)
{
    QDir().mkpath(dir);
    QByteArray qrc = "<RCC>\n  <qresource prefix=\"/themes\">\n";
    for (const QString &name : skTheme::allBitmapNames() + skMenuIcon::all()) {
        const QImage image = name.startsWith(QLatin1String("MENU_ICON_")) ? drawMenuIcon(name)
                                                                          : drawThemeBitmap(name);
        if (image.isNull() || !image.save(QDir(dir).filePath(name + QStringLiteral(".png")))) {
            std::fprintf(stderr, "cannot draw theme bitmap %s\n", qPrintable(name));
            return false;
        }
        qrc += "    <file alias=\"" + name.toLatin1() + "\">" + name.toLatin1() + ".png</file>\n";
    }
    qrc += "  </qresource>\n" + iconResources(dir, iconDir) + "</RCC>\n";
    return writeIfChanged(QDir(dir).filePath(QStringLiteral("themes.qrc")), qrc);
}

int make(const QCommandLineParser &args)
{
    const QString skins = args.value(QStringLiteral("skins"));
    QDir().mkpath(skins);
    const QList<Scheme> schemes = shippedSchemes();
    for (int i = 0; i < schemes.size(); ++i) {
        const QString path = QDir(skins).filePath(QStringLiteral("skin%1.skn").arg(i + 1));
        if (!writeIfChanged(path, encodeSkin(schemes[i])))
            return 1;
    }
    const QString builtin = args.value(QStringLiteral("builtin"));
    QDir().mkpath(QFileInfo(builtin).path());
    const QByteArray builtinBytes = encodeSkin(builtinScheme());
    if (!writeIfChanged(builtin, builtinBytes))
        return 1;
    const QString header = args.value(QStringLiteral("header"));
    QDir().mkpath(QFileInfo(header).path());
    const QByteArray text =
        "#pragma once\n\n// Written by the skin maker: the byte size of the skin "
        "appended to the executable.\ninline constexpr long long "
        "builtin_skin_size = " +
        QByteArray::number(builtinBytes.size()) + ";\n";
    if (!writeIfChanged(header, text))
        return 1;
    const QString icons = args.value(QStringLiteral("icons"));
    if (!appIcon::writeTheme(icons))
        return 1;
    return makeThemes(args.value(QStringLiteral("themes")), icons) ? 0 : 1;
}

int append(const QString &skinPath, const QString &exePath)
{
    QFile skin(skinPath);
    QFile exe(exePath);
    if (!skin.open(QIODevice::ReadOnly) || !exe.open(QIODevice::Append))
        return 1;
    const QByteArray bytes = skin.readAll();
    return exe.write(bytes) == bytes.size() ? 0 : 1;
}

int sheet(const QString &skinPath, const QString &outPath)
{
    const SkinFile::Result skin = SkinFile::readFile(skinPath);
    if (!skin.ok())
        return 1;
    const int cell = 62;
    QImage out(face::Width + 12 * cell + 20, face::Height + 20, QImage::Format_RGB32);
    out.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&out);
    p.drawImage(10, 10, skin.images[0]);
    p.setFont(art::font(9));
    p.setPen(Qt::white);
    for (int slot = 1; slot < SkinFile::SlotCount; ++slot) {
        const int col = (slot - 1) % 12, row = (slot - 1) / 12;
        const QPoint at(face::Width + 20 + col * cell, 10 + row * (cell + 14));
        p.drawImage(at, skin.images[slot]);
        p.drawText(QRect(at + QPoint(0, 52), QSize(cell, 14)), Qt::AlignLeft,
                   QString::number(slot));
    }
    return out.save(outPath) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Appending runs after every link: keep it free of any window system.
    if (argc == 4 && qstrcmp(argv[1], "append") == 0)
        return append(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    // Drawing needs fonts but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser args;
    args.addPositionalArgument(QStringLiteral("command"), QStringLiteral("make, append or sheet"));
    for (const char *option : {"skins", "builtin", "themes", "header", "icons"})
        args.addOption({QString::fromLatin1(option), QString(), QStringLiteral("path")});
    args.process(app);
    const QStringList pos = args.positionalArguments();
    const QString command = pos.value(0);
    if (command == QLatin1String("make"))
        return make(args);
    if (command == QLatin1String("sheet") && pos.size() == 3)
        return sheet(pos[1], pos[2]);
    std::fprintf(stderr, "usage: harvelo_skinmaker make|append|sheet ...\n");
    return 2;
}
