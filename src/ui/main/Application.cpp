#include "ui/main/Application.h"

#include <QApplication>

int RunApplication(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Sonvera");
    return 0;
}
