#pragma once

#include "skin/sk_styled.h"

#include <QMenu>

class TskMenuStyle;

// How a skinned menu draws its items; a built-in theme fills it from items 2, 10 to 12, 14 to
// 17, 19 to 22; Custom keeps the values as they are.
struct TskMenuLook {
    UIStyle style = UIStyle::WinXP;
    int itemHeight = 21;
    int separatorHeight = 5;
    int sideBarWidth = 26;
    QColor border, sideBar, background, separator, selectedBorder, selectedFill, selectedText, text;
    QPixmap checkMark;
    QPixmap barPicture, selectPicture; // MacOS only: item background and highlight

    static TskMenuLook fromTheme(UIStyle style, const TskMenuLook &fallback);
};

// Owner-drawn popup menu: each item is a side bar of the side-bar width and the caption on the
// background colour; the highlighted enabled item is filled with the selected fill and framed
// with the selected border; the caption starts 4 pixels right of the side bar and 4 below the
// item's top, grey when disabled, bold for the default item. Submenus added with addMenu() (at
// any depth) draw the same way.
class TskPopupMenu : public QMenu, public TskStyled {
    Q_OBJECT
public:
    explicit TskPopupMenu(QWidget *parent = nullptr);
    explicit TskPopupMenu(const QString &title, QWidget *parent = nullptr);

    const TskMenuLook &look() const { return m_look; }
    void setLook(const TskMenuLook &look);

protected:
    void actionEvent(QActionEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void applyTheme(UIStyle style) override;

private:
    void adoptSubmenu(QAction *action);
    void restyle(QMenu *menu);
    TskMenuLook m_look;
};
