// Run by the tests on a virtual display: puts pictures onto a window of its own through
// platform::WindowPictures and reads each back from the X server. A line a picture:
// "<shared|plain> <same|differs>", whether it went through shared memory and whether the
// window shows it pixel for pixel.

#include "platform/WindowPictures.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int Width = 250;
constexpr int Height = 140;

// Every pixel of its own colour, so a shift, a missing line or a stale picture shows.
QImage Pattern(int seed) {
    QImage picture(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture.setPixel(
                x, y,
                qRgb((x * 7 + seed) & 0xFF, (y * 13 + seed * 3) & 0xFF, (x ^ y ^ seed) & 0xFF));
    return picture;
}

bool Shows(xcb_connection_t* connection, xcb_window_t window, const QImage& picture) {
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, Width, Height, ~0u),
        nullptr);
    // RGB32 pictures compare without their unused top byte.
    const bool same =
        reply != nullptr && xcb_get_image_data_length(reply) == Width * Height * 4 &&
        QImage(xcb_get_image_data(reply), Width, Height, QImage::Format_RGB32) == picture;
    std::free(reply);
    return same;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QWindow window;
    window.setGeometry(0, 0, Width, Height);
    window.show();
    while (!window.isExposed())
        QGuiApplication::processEvents(QEventLoop::WaitForMoreEvents);
    auto* connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();

    platform::WindowPictures pictures(window.winId());
    const QImage first = Pattern(1);
    // One pixel apart from the one before, in the last row and then in the first: a picture
    // that is not put again must really be the same one.
    QImage second = first;
    second.setPixel(Width - 1, Height - 1, ~first.pixel(Width - 1, Height - 1));
    QImage third = second;
    third.setPixel(0, 0, ~second.pixel(0, 0));
    const QImage fourth = Pattern(2);
    const struct {
        const QImage& picture;
        bool onlyChanged;
    } steps[] = {{first, false},  {second, true}, {third, true},
                 {fourth, false}, {fourth, true}, {first, true}};
    for (const auto& step : steps) {
        const bool put =
            step.onlyChanged ? pictures.PutChanged(step.picture) : pictures.Put(step.picture);
        std::printf("%s %s\n",
                    !put                ? "refused"
                    : pictures.Shared() ? "shared"
                                        : "plain",
                    Shows(connection, xcb_window_t(window.winId()), step.picture) ? "same"
                                                                                  : "differs");
    }
    return 0;
}
