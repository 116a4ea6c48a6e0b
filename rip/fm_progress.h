#pragma once

#include <QDialog>

class Tfm_progress : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_progress(QWidget *parent = nullptr);
};
