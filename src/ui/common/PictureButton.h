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
        normal = normalPicture;
        hover = hoverPicture;
        setPixmap(normal);
    }
    void ShowNormal() { setPixmap(normal); }
    void ShowHover() { setPixmap(hover); }
    bool ShowsHover() const { return !hover.isNull() && pixmap().cacheKey() == hover.cacheKey(); }

    void Press() { move(pos() + QPoint(1, 1)); }
    void Release() { move(pos() - QPoint(1, 1)); }

private:
    QPixmap normal;
    QPixmap hover;
};
