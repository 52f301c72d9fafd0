// Loaded into the real program (LD_PRELOAD) by the tests of what the window tells of its keys:
// appends each hint a widget is given and each text a menu item is given to the file
// SONVERA_HINTS_REPORT names, one a line, as "hint <text>" and "item <text>".

#include <QActionEvent>
#include <QApplication>
#include <QFile>
#include <QWidget>

namespace {

class HintWatch : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::ToolTipChange && object->isWidgetType())
            Write("hint " + static_cast<QWidget*>(object)->toolTip());
        else if (event->type() == QEvent::ActionChanged)
            Write("item " + static_cast<QActionEvent*>(event)->action()->text());
        return false;
    }

private:
    static void Write(const QString& line) {
        QFile report(qEnvironmentVariable("SONVERA_HINTS_REPORT"));
        if (report.open(QIODevice::Append | QIODevice::Text))
            report.write((line + "\n").toUtf8());
    }
};

void Start() {
    qApp->installEventFilter(new HintWatch);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
