#pragma once
// A label or picture that hands its mouse events to the window's handlers (OnMouseDown ->
// `ImageRecordMouseDown`, ...). A press holds the mouse for the label, so the release reaches
// it wherever the mouse is let go.

#include <QLabel>
#include <QMouseEvent>
#include <functional>

class MouseLabel : public QLabel {
public:
    using Handler = std::function<void(QMouseEvent*)>;

    explicit MouseLabel(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }

    Handler OnMouseDown;
    Handler OnMouseMove;
    Handler OnMouseUp;
    Handler OnDoubleClick;
    // A release of the left button over the label: a click.
    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (OnMouseDown)
            OnMouseDown(event);
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (OnMouseMove)
            OnMouseMove(event);
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (OnMouseUp)
            OnMouseUp(event);
        if (OnClick && event->button() == Qt::LeftButton &&
            rect().contains(event->position().toPoint()))
            OnClick();
        event->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (OnDoubleClick)
            OnDoubleClick(event);
        event->accept();
    }
};
