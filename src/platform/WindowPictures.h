#pragma once
// Pictures put straight onto a native X11 window, one request each. Through the toolkit a
// repaint also copies the picture into the window's back buffer and, before painting there
// again, waits for the X server to have read the last one; for the screens, thirty times a
// second, that costs more than drawing them.

#include <QImage>
#include <cstdint>

namespace platform {

// Whether pictures can be put straight onto windows: an X11 display.
bool CanPutPictures();

class WindowPictures {
public:
    // `window` is the native window (QWidget::winId()). Pictures go onto it only on X11, for
    // a window of depth 24 whose pixels are 32 bits in the machine's byte order, as RGB32
    // has them.
    explicit WindowPictures(std::uintptr_t window);
    ~WindowPictures();
    WindowPictures(const WindowPictures&) = delete;
    WindowPictures& operator=(const WindowPictures&) = delete;

    // Puts an RGB32 picture at the window's top left corner; false, with nothing put, when
    // not valid, for another format, or for a picture too big for one request.
    bool Put(const QImage& picture);

private:
    std::uint32_t window_;
    std::uint32_t gc_ = 0;
    std::uint32_t maxBytes_ = 0;
};

} // namespace platform
