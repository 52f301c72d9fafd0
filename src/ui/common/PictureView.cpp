#include "ui/common/PictureView.h"

#include <QCoreApplication>
#include <QPainter>
#include <QWindow>

PictureView::PictureView(QWidget* parent, const QImage* picture)
    : QWidget(parent), picture_(picture), direct_(platform::CanPutPictures()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (direct_) {
        // A native window for this view alone: its parent and its siblings stay as they are.
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        setAttribute(Qt::WA_DontCreateNativeAncestors);
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
    }
}

PictureView::~PictureView() = default;

void PictureView::SetPicture(const QImage* picture) {
    picture_ = picture;
    ShowPicture();
}

void PictureView::ShowPicture() {
    if (direct_ && isVisible())
        Put(true);
    else
        update();
}

QPaintEngine* PictureView::paintEngine() const {
    // Null tells the toolkit that this view paints itself on screen.
    return direct_ ? nullptr : QWidget::paintEngine();
}

void PictureView::paintEvent(QPaintEvent*) {
    if (direct_) {
        Put(false);
        return;
    }
    QPainter painter(this);
    if (picture_ != nullptr && !picture_->isNull())
        painter.drawImage(0, 0, *picture_);
    else
        painter.fillRect(rect(), Qt::black);
}

void PictureView::showEvent(QShowEvent*) {
    // A view that lets the mouse through must do so as a window too, or the X server would
    // hand the pointer's events to it instead of to what lies below.
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowTransparentForInput,
                        testAttribute(Qt::WA_TransparentForMouseEvents));
}

bool PictureView::Unscaled() {
    const QWindow* handle = windowHandle();
    const QScreen* screen = handle != nullptr ? handle->screen() : nullptr;
    if (screen == nullptr || screen != ratioScreen_) {
        ratioScreen_ = screen;
        unscaled_ = devicePixelRatioF() == 1.0;
    }
    return unscaled_;
}

void PictureView::Put(bool onlyChanged) {
    // The pictures have the view's size in pixels only at a device pixel ratio of 1.
    if (Unscaled()) {
        if (!window_)
            window_ = std::make_unique<platform::WindowPictures>(winId());
        QImage blank;
        const QImage* shown = picture_;
        if (shown == nullptr || shown->isNull()) {
            blank = QImage(size(), QImage::Format_RGB32);
            blank.fill(Qt::black);
            shown = &blank;
        }
        // After an expose the window has lost what it showed: then the picture goes again.
        if (onlyChanged ? window_->PutChanged(*shown) : window_->Put(*shown))
            return;
    }
    // A scaled display, or a window or a picture whose pixels are not RGB32 as such: the
    // toolkit paints it, scaled to fill the view.
    direct_ = false;
    setAttribute(Qt::WA_PaintOnScreen, false);
    update();
}
