#pragma once

#include <QDialog>

class Tfm_setting : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_setting(QWidget *parent = nullptr);
};
