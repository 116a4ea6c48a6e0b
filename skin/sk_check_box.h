#pragma once

#include "skin/sk_toggle_look.h"

#include <QCheckBox>
#include <QPainter>
#include <QRadioButton>

// What the check box and the radio button share: the eight toggle pictures of the theme items
// from `firstItem`, drawn by ticked, enabled and pointer state, and a click anywhere on it.
template <class Button>
class TskToggle : public Button, public TskStyled {
public:
    TskToggle(const QString &caption, QWidget *parent, int firstItem)
        : Button(caption, parent), m_firstItem(firstItem)
    {
    }

    TskToggleLook &look() { return m_look; }
    QPixmap currentPicture() const { return m_look.currentPicture(this, m_hot); }
    QSize sizeHint() const override { return m_look.sizeHint(this); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        m_look.paint(p, this, m_hot);
    }
    void enterEvent(QEnterEvent *event) override
    {
        setHot(true);
        Button::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        setHot(false);
        Button::leaveEvent(event);
    }
    bool hitButton(const QPoint &pos) const override { return this->rect().contains(pos); }
    void applyTheme(UIStyle style) override
    {
        m_look.takeTheme(style, m_firstItem);
        this->update();
    }
    bool keepsOwnCustomStyle() const override { return true; }

private:
    void setHot(bool hot)
    {
        m_hot = hot;
        this->update();
    }

    TskToggleLook m_look;
    int m_firstItem;
    bool m_hot = false;
};

// Themed check box: the CHECKBOX bitmaps (items 26 to 33) by ticked, enabled and pointer state.
// setChecked() from the program emits toggled() but never clicked().
class TskCheckBox : public TskToggle<QCheckBox> {
    Q_OBJECT
public:
    explicit TskCheckBox(QWidget *parent = nullptr);
    explicit TskCheckBox(const QString &caption, QWidget *parent = nullptr);
};

// Themed radio button: the RADIOBUTTON bitmaps (items 34 to 41). Selecting one clears every
// other TskRadioButton with the same groupIndex() inside the same parent widget; a click on a
// selected one leaves it selected.
class TskRadioButton : public TskToggle<QRadioButton> {
    Q_OBJECT
public:
    explicit TskRadioButton(QWidget *parent = nullptr);
    explicit TskRadioButton(const QString &caption, QWidget *parent = nullptr);

    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index) { m_groupIndex = index; }

protected:
    void nextCheckState() override;

private:
    void clearGroup(bool checked);
    int m_groupIndex = 0;
};
