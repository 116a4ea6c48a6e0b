#pragma once

#include "skin/sk_styled.h"

#include <QList>
#include <QWidget>

class QMenu;

// The title bar of a TskForm: left, client and right sections (items 44 to 46, the client one
// stretched), the window title, and its buttons. skControlBox buttons sit at the left (offset
// item 66), all others at the right in list order (offset item 67). Pressing the left button
// on the bar outside its buttons moves the window (unless maximized); releasing over a button
// runs its action; a double-click runs the first skMax button.
class TskTitleBar : public QWidget, public TskStyled {
    Q_OBJECT
public:
    enum ButtonType { skMax, skMin, skClose, skHelp, skControlBox, skCustom };

    struct Button {
        ButtonType type = skClose;
        QPixmap pics[3];        // normal, mouse-on, mouse-down
        QPixmap restorePics[3]; // skMax on a maximized window
        bool transparent = false;
        int top = 5;
        QMenu *controlBoxMenu = nullptr;
    };

    explicit TskTitleBar(QWidget *parent = nullptr);

    // Replaces the buttons; each takes the current theme's pictures. The default is {skClose}.
    void setButtons(const QList<ButtonType> &types);
    int buttonCount() const { return m_buttons.size(); }
    Button &button(int index) { return m_buttons[index]; }
    QRect buttonRect(int index) const;
    int buttonAt(const QPoint &pos) const;
    // Runs a button's action as a release over it would.
    void runButton(int index);

    QString caption() const;
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor &c);
    void setSections(const QPixmap &left, const QPixmap &client, const QPixmap &right);
    QSize sizeHint() const override;

signals:
    void helpButtonClick();
    void customButtonClick(int index);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *) override;
    void applyTheme(UIStyle style) override;

private:
    void themeButton(Button &b, UIStyle style) const;
    void toggleMaximized();
    void minimize();
    QPixmap buttonPicture(int index) const;

    QList<Button> m_buttons;
    QPixmap m_left, m_client, m_right;
    QColor m_captionColor{Qt::white};
    int m_leftOffset = 2, m_rightOffset = -2;
    int m_hot = -1, m_pressed = -1;
};
