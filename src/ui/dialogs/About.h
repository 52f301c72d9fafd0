#pragma once
// TFormAbout: the program's icon, its shadowed title and an OK button.

#include <QDialog>

class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
public:
    explicit TFormAbout(QWidget* parent);

    QLabel* ImageAbout;
    QLabel* Lab1; // the shadow, under Lab2
    QLabel* Lab2;
    QPushButton* BitBtnClose;
};
