#pragma once
// Keeps the program's fixed-size windows at their size whatever their title bar asks. On Wayland
// Qt draws the title bar itself, with a maximise button on every window; a compositor that grants
// the maximise requires the window to take the size it gives, and ends the program if it does
// not. So a fixed-size window asked to be maximised lets go of its size until the compositor has
// answered, takes what it is given, asks at once to be normal again and is fixed once more.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

class QWindow;

class FixedSizeWindows : public QObject {
public:
    // Watches the windows of the application it is installed on as an event filter.
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QWidget> widget;
        QSize size; // while let go: the size to return to; empty while fixed
    };

    void Watch(QWidget* widget);
    void StateAsked(QWindow* window, Qt::WindowState state);
    void StateReported(QWindow* window);

    QHash<QWindow*, Held> windows_;
};
