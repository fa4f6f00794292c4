#pragma once
// TAboutBox: the program's name, version and where to ask for help.

#include <QDialog>

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
};

extern TAboutBox *AboutBox;
