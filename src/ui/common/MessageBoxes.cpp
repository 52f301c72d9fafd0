#include "ui/common/MessageBoxes.h"

#include <QMessageBox>
#include <cstdio>

void LogMessage(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(ApplicationTitle), qPrintable(text));
}

namespace {

// The texts name files and folders: shown as they are, never as rich text.
int Show(QMessageBox::Icon icon, const QString& caption, const QString& text,
         QMessageBox::StandardButtons buttons, QWidget* parent) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

void ShowMessageBox(QWidget* parent, const QString& text) {
    LogMessage(text);
    Show(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    LogMessage(text);
    Show(QMessageBox::Critical, ApplicationTitle, text + ".", QMessageBox::Ok, parent);
}

bool AskConfirm(QWidget* parent, const QString& text) {
    return Show(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                parent) == QMessageBox::Yes;
}
