#pragma once

#include <QDialog>

class Tfm_encode : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_encode(QWidget *parent = nullptr);
};
