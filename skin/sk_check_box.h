#pragma once

#include "skin/sk_toggle_look.h"

#include <QCheckBox>
#include <QRadioButton>

// Themed check box: the CHECKBOX bitmaps (items 26 to 33) by ticked, enabled and pointer state.
// setChecked() from the program emits toggled() but never clicked().
class TskCheckBox : public QCheckBox, public TskStyled {
    Q_OBJECT
public:
    explicit TskCheckBox(QWidget *parent = nullptr);
    explicit TskCheckBox(const QString &caption, QWidget *parent = nullptr);

    TskToggleLook &look() { return m_look; }
    QPixmap currentPicture() const { return m_look.currentPicture(this, m_hot); }
    QSize sizeHint() const override { return m_look.sizeHint(this); }

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void applyTheme(UIStyle style) override;
    bool keepsOwnCustomStyle() const override { return true; }

private:
    TskToggleLook m_look;
    bool m_hot = false;
};

// Themed radio button: the RADIOBUTTON bitmaps (items 34 to 41). Selecting one clears every
// other TskRadioButton with the same groupIndex() inside the same parent widget; a click on a
// selected one leaves it selected.
class TskRadioButton : public QRadioButton, public TskStyled {
    Q_OBJECT
public:
    explicit TskRadioButton(QWidget *parent = nullptr);
    explicit TskRadioButton(const QString &caption, QWidget *parent = nullptr);

    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index) { m_groupIndex = index; }

    TskToggleLook &look() { return m_look; }
    QPixmap currentPicture() const { return m_look.currentPicture(this, m_hot); }
    QSize sizeHint() const override { return m_look.sizeHint(this); }

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void nextCheckState() override;
    void applyTheme(UIStyle style) override;
    bool keepsOwnCustomStyle() const override { return true; }

private:
    void clearGroup(bool checked);
    TskToggleLook m_look;
    int m_groupIndex = 0;
    bool m_hot = false;
};
