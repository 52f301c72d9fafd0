#include "ui/common/MessageBoxes.h"

#include <QMessageBox>
#include <cstdio>

namespace {

void Log(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(ApplicationTitle), qPrintable(text));
}

} // namespace

void ShowMessageBox(QWidget* parent, const QString& text) {
    Log(text);
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    Log(text);
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, text + ".", QMessageBox::Ok, parent);
    box.exec();
}

bool AskConfirm(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}
