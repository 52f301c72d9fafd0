#include "platform/WindowPictures.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

xcb_connection_t* Connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Depth 24 kept in 32-bit pixels, least significant byte first: RGB32 as it lies in memory.
bool TakesRgb32(xcb_connection_t* connection, std::uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats))
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    return false;
}

} // namespace

bool CanPutPictures() {
    return Connection() != nullptr;
}

WindowPictures::WindowPictures(std::uintptr_t window)
    : connection_(Connection()), window_(std::uint32_t(window)) {
    xcb_connection_t* connection = connection_;
    if (connection == nullptr || window_ == 0)
        return;
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window_), nullptr);
    const bool rgb32 = geometry != nullptr && TakesRgb32(connection, geometry->depth);
    std::free(geometry);
    if (!rgb32)
        return;
    // The request's length counts 4-byte units and includes its 24-byte head.
    maxBytes_ = xcb_get_maximum_request_length(connection) * 4 - 24;
    gc_ = xcb_generate_id(connection);
    xcb_create_gc(connection, gc_, window_, 0, nullptr);
}

WindowPictures::~WindowPictures() {
    ReleaseMemory();
    if (xcb_connection_t* connection = Connection(); connection != nullptr && gc_ != 0) {
        xcb_free_gc(connection, gc_);
        xcb_flush(connection);
    }
}

bool WindowPictures::ShareMemory(std::size_t bytes) {
    shareTried_ = true;
    xcb_connection_t* connection = connection_;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (extension == nullptr || !extension->present)
        return false;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    memory_ = shmat(id, nullptr, 0);
    if (memory_ == reinterpret_cast<void*>(-1)) {
        memory_ = nullptr;
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    segment_ = xcb_generate_id(connection);
    // Once, when the first picture comes: a server on another machine refuses the segment.
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_shm_attach_checked(connection, segment_, id, true));
    // Marked for removal now, the segment goes when both sides have let go of it, however the
    // program ends.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        std::free(error);
        segment_ = 0;
        ReleaseMemory();
        return false;
    }
    memoryBytes_ = bytes;
    return true;
}

void WindowPictures::ReleaseMemory() {
    if (xcb_connection_t* connection = Connection(); connection != nullptr && segment_ != 0)
        xcb_shm_detach(connection, segment_);
    if (memory_ != nullptr)
        shmdt(memory_);
    segment_ = 0;
    memory_ = nullptr;
    memoryBytes_ = 0;
    memoryShown_ = false;
}

bool WindowPictures::Shown(const QImage& picture) const {
    if (!memoryShown_ || picture.width() != shownWidth_ || picture.height() != shownHeight_ ||
        picture.format() != QImage::Format_RGB32)
        return false;
    // From the bottom up: the player's spectrum and the screens' traces and bars change
    // there first, the name and the channel letters at the top rarely.
    const auto row = std::size_t(picture.bytesPerLine());
    const auto* shown = static_cast<const uchar*>(memory_);
    for (int y = picture.height() - 1; y >= 0; --y)
        if (std::memcmp(shown + y * row, picture.constScanLine(y), row) != 0)
            return false;
    return true;
}

bool WindowPictures::PutChanged(const QImage& picture) {
    return Shown(picture) || Put(picture);
}

bool WindowPictures::Put(const QImage& picture) {
    xcb_connection_t* connection = connection_;
    const auto bytes = std::size_t(picture.sizeInBytes());
    if (connection == nullptr || gc_ == 0 || picture.format() != QImage::Format_RGB32)
        return false;
    if (!shareTried_)
        ShareMemory(bytes);
    const auto width = std::uint16_t(picture.width());
    const auto height = std::uint16_t(picture.height());
    sharedPut_ = segment_ != 0 && bytes <= memoryBytes_;
    if (sharedPut_) {
        // The server reads the segment when it carries out the request, right after the flush;
        // the next picture comes a tick later, so it is not waited for.
        std::memcpy(memory_, picture.constBits(), bytes);
        xcb_shm_put_image(connection, window_, gc_, width, height, 0, 0, width, height, 0, 0, 24,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, false, segment_, 0);
        memoryShown_ = true;
        shownWidth_ = picture.width();
        shownHeight_ = picture.height();
    } else {
        if (bytes > maxBytes_)
            return false;
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, width, height, 0, 0, 0,
                      24, std::uint32_t(bytes), picture.constBits());
        memoryShown_ = false;
    }
    xcb_flush(connection);
    return true;
}

} // namespace platform
