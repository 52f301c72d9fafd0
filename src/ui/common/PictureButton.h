#pragma once
// A picture that acts as a button: a normal and a hover picture, and a pressed look made by
// shifting the picture one pixel right and down while a mouse button is held.

#include "ui/common/MouseLabel.h"

#include <QPixmap>

class PictureButton : public MouseLabel {
public:
    PictureButton(QWidget* parent, QRect geometry, const QString& hint) : MouseLabel(parent) {
        setGeometry(geometry);
        setToolTip(hint);
    }

    void SetPictures(const QPixmap& normalPicture, const QPixmap& hoverPicture) {
        normal_ = normalPicture;
        hover_ = hoverPicture;
        setPixmap(normal_);
    }
    void ShowNormal() { setPixmap(normal_); }
    void ShowHover() { setPixmap(hover_); }
    bool ShowsHover() const { return !hover_.isNull() && pixmap().cacheKey() == hover_.cacheKey(); }

    // The pressed look is one pixel right and down; a release takes back only a press that
    // was shown, so the button never wanders.
    void Press() {
        if (!pressed_)
            move(pos() + QPoint(1, 1));
        pressed_ = true;
    }
    void Release() {
        if (pressed_)
            move(pos() - QPoint(1, 1));
        pressed_ = false;
    }

protected:
    // The second press of a double click comes as a double click: it presses all the same.
    void mouseDoubleClickEvent(QMouseEvent* event) override { mousePressEvent(event); }

private:
    bool pressed_ = false;
    QPixmap normal_;
    QPixmap hover_;
};
