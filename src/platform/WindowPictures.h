#pragma once
// Pictures put straight onto a native X11 window, one request each. Through the toolkit a
// repaint also copies the picture into the window's back buffer and, before painting there
// again, waits for the X server to have read the last one; for the screens, thirty times a
// second, that costs more than drawing them. Where the X server shares memory with us
// (MIT-SHM, a local display), a picture goes through a shared segment instead of the socket.

#include <QImage>
#include <cstddef>
#include <cstdint>

struct xcb_connection_t;

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
    // Puts the picture unless it is the one last put through the shared segment, pixel for
    // pixel: a screen that shows silence does not change between blocks.
    bool PutChanged(const QImage& picture);
    // Whether the last picture went through shared memory.
    bool Shared() const { return sharedPut_; }

private:
    // Whether the window shows this picture, as last put through the shared segment.
    bool Shown(const QImage& picture) const;
    bool ShareMemory(std::size_t bytes);
    void ReleaseMemory();

    // The toolkit's connection, looked up once: asking the application for it costs more than
    // a put.
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_;
    std::uint32_t gc_ = 0;
    std::uint32_t maxBytes_ = 0;
    // The shared segment: attached once, for the size of the first picture; none where the
    // server cannot share (a remote display, no MIT-SHM).
    bool shareTried_ = false;
    std::uint32_t segment_ = 0;
    void* memory_ = nullptr;
    std::size_t memoryBytes_ = 0;
    // The segment holds the picture on the window (size and pixels).
    bool memoryShown_ = false;
    int shownWidth_ = 0;
    int shownHeight_ = 0;
    bool sharedPut_ = false;
};

} // namespace platform
