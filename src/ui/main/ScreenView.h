#pragma once
// Shows one of the live screens' images on the main window. The image is drawn by the display
// module; this only copies it to the window when asked.

#include <QImage>
#include <QPainter>
#include <QWidget>

class ScreenView : public QWidget {
public:
    ScreenView(QWidget* parent, const QImage* image) : QWidget(parent), image_(image) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void SetImage(const QImage* shown) {
        image_ = shown;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_ && !image_->isNull())
            painter.drawImage(0, 0, *image_);
        else
            painter.fillRect(rect(), Qt::black);
    }

private:
    const QImage* image_;
};
