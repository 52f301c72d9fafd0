#include "ui/common/FixedSizeWindows.h"

#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace {

constexpr Qt::WindowStates Large = Qt::WindowMaximized | Qt::WindowFullScreen;

bool IsFixed(const QWidget* widget) {
    return widget->minimumSize() == widget->maximumSize();
}

} // namespace

bool FixedSizeWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow())
            Watch(widget);
    } else if (event->type() == QEvent::WindowStateChange && watched->isWindowType()) {
        // Sent to a window only when the window system reports its state.
        StateReported(static_cast<QWindow*>(watched));
    }
    return false;
}

void FixedSizeWindows::Watch(QWidget* widget) {
    QWindow* window = widget->windowHandle();
    if (window == nullptr || windows_.contains(window))
        return;
    windows_.insert(window, {widget, {}});
    // Emitted as the title bar asks, before the compositor answers: the last moment to let go.
    connect(window, &QWindow::windowStateChanged, this,
            [this, window](Qt::WindowState state) { StateAsked(window, state); });
    connect(window, &QObject::destroyed, this, [this, window] { windows_.remove(window); });
}

void FixedSizeWindows::StateAsked(QWindow* window, Qt::WindowState state) {
    Held& held = windows_[window];
    if (!(Large & state) || held.widget == nullptr || !held.size.isEmpty() || !IsFixed(held.widget))
        return;
    held.size = held.widget->minimumSize();
    held.widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void FixedSizeWindows::StateReported(QWindow* window) {
    const auto found = windows_.find(window);
    if (found == windows_.end() || found->widget == nullptr)
        return;
    QWidget* widget = found->widget;
    const bool held = !found->size.isEmpty();
    const bool large = (window->windowStates() & Large) != 0;
    if (large && (held || IsFixed(widget))) {
        // After the window system's own handling of the report.
        QTimer::singleShot(0, widget,
                           [widget] { widget->setWindowState(widget->windowState() & ~Large); });
    } else if (!large && held) {
        // Normal again, or the compositor said no.
        widget->setFixedSize(std::exchange(found->size, QSize()));
    }
}
