#pragma once
// Shows a picture drawn elsewhere (a live screen, the player's display), copied to the window
// when it changed. On an X11 display the view is a native window of its own, and at a device
// pixel ratio of 1 the picture is put straight onto it; elsewhere (scaled, offscreen, other
// platforms) the toolkit paints it, scaled to fill the view.

#include "platform/WindowPictures.h"

#include <QImage>
#include <QWidget>
#include <memory>

class QScreen;

class PictureView : public QWidget {
public:
    PictureView(QWidget* parent, const QImage* picture);
    ~PictureView() override;

    // Shows `picture` from now on (null: black).
    void SetPicture(const QImage* picture);
    // Shows the picture again after it was drawn anew.
    void ShowPicture();

protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // With `onlyChanged`, a picture the window already shows is not put again.
    void Put(bool onlyChanged);
    bool Unscaled();

    const QImage* picture_;
    bool direct_;
    // The ratio, asked of the toolkit only when the view is on another screen: asking costs
    // more than a put.
    const QScreen* ratioScreen_ = nullptr;
    bool unscaled_ = false;
    std::unique_ptr<platform::WindowPictures> window_;
};
