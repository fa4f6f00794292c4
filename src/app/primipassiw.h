#pragma once
// TPrimiPassiForm: a short guide to a new installation, one page per step, opened on the first.

#include <QDialog>

class TPrimiPassiForm : public QDialog {
    Q_OBJECT

public:
    explicit TPrimiPassiForm(QWidget *parent = nullptr);
};

extern TPrimiPassiForm *PrimiPassiForm;
