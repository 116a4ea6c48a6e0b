#pragma once

#include <QDialog>

class Tfm_outputdir : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_outputdir(QWidget *parent = nullptr);
};
