// Loaded into the real program (LD_PRELOAD) by the tests under a Wayland compositor, where no
// xdotool reaches the windows: does to the main window what a click on its title bar does, one
// action after the other, and writes how the window came out of each into a report.
//   SONVERA_TITLE_BAR_ACTIONS  the actions in order, comma-separated:
//                              maximize, minimize, close  as Qt's own title bar does them
//                              record                     a click on the record button
//                              confirm                    "Yes" in the open question
//   SONVERA_TITLE_BAR_REPORT   the report: "shown <width>x<height> <states>" once the window is
//                              shown, then "<action> <width>x<height> <states>" after each

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int SettleMs = 1500;
// The record button's middle in the main window's client area.
constexpr QPoint RecordButton(173 + 16, 202 + 14);

// Found once shown; a minimised window is no longer exposed.
QPointer<QMainWindow> mainWindow;

QMainWindow* MainWindow() {
    if (mainWindow == nullptr)
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<QMainWindow*>(widget); main != nullptr &&
                                                                 main->windowHandle() != nullptr &&
                                                                 main->windowHandle()->isExposed())
                mainWindow = main;
    return mainWindow;
}

void Report(const QString& what) {
    QMainWindow* main = MainWindow();
    if (main == nullptr)
        return;
    const QWindow* window = main->windowHandle();
    QFile report(qEnvironmentVariable("SONVERA_TITLE_BAR_REPORT"));
    if (report.open(QIODevice::Append | QIODevice::Text))
        report.write(QString("%1 %2x%3 %4\n")
                         .arg(what)
                         .arg(window->width())
                         .arg(window->height())
                         .arg(int(window->windowStates()))
                         .toUtf8());
}

void Act(const QString& action) {
    QWindow* window = MainWindow()->windowHandle();
    if (action == "maximize") {
        window->setWindowStates(window->windowStates() ^ Qt::WindowMaximized);
    } else if (action == "minimize") {
        window->setWindowStates(Qt::WindowMinimized);
    } else if (action == "close") {
        window->close();
    } else if (action == "record") {
        QWidget* button = MainWindow()->centralWidget()->childAt(RecordButton);
        if (button != nullptr)
            QTest::mouseClick(button, Qt::LeftButton);
    } else if (action == "confirm") {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    }
}

void RunActions(QStringList actions) {
    if (actions.isEmpty() || MainWindow() == nullptr)
        return;
    const QString action = actions.takeFirst();
    // Set first: a close that asks runs the question's own loop until it is answered.
    QTimer::singleShot(SettleMs, qApp, [action, actions] {
        Report(action);
        RunActions(actions);
    });
    Act(action);
}

void WaitForTheWindow() {
    if (MainWindow() == nullptr) {
        QTimer::singleShot(100, qApp, WaitForTheWindow);
        return;
    }
    QTimer::singleShot(SettleMs, qApp, [] {
        Report("shown");
        RunActions(qEnvironmentVariable("SONVERA_TITLE_BAR_ACTIONS").split(','));
    });
}

void Start() {
    QTimer::singleShot(0, qApp, WaitForTheWindow);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
