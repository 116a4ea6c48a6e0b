#pragma once

#include <QDialog>

class Tfm_decode : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_decode(QWidget *parent = nullptr);
};
