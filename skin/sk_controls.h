#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTreeWidget>

// Image button: shows PicNormal, PicMouseOn while the mouse is over it and PicMouseDown while
// pressed; sizes itself to its normal picture.
class TskImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TskImageButton(QWidget *parent = nullptr);

    QPixmap PicNormal, PicMouseOn, PicMouseDown;
    void setPictures(const QPixmap &normal, const QPixmap &mouseOn, const QPixmap &mouseDown);
    void setPicNormal(const QPixmap &p);
    void setPicMouseOn(const QPixmap &p);
    void setPicMouseDown(const QPixmap &p);
    // The picture the button shows now.
    const QPixmap &currentPicture() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;

private:
    void adjustToPicture();
    bool m_hover = false;
};

class TskEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
};

class TskComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

class TskListView : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;
};

class TskPopupMenu : public QMenu {
    Q_OBJECT
public:
    using QMenu::QMenu;
};
