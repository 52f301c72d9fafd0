#include "platform/WindowPictures.h"

#include <QGuiApplication>
#include <cstdlib>
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

WindowPictures::WindowPictures(std::uintptr_t window) : window_(std::uint32_t(window)) {
    xcb_connection_t* connection = Connection();
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
    if (xcb_connection_t* connection = Connection(); connection != nullptr && gc_ != 0) {
        xcb_free_gc(connection, gc_);
        xcb_flush(connection);
    }
}

bool WindowPictures::Put(const QImage& picture) {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr || gc_ == 0 || picture.format() != QImage::Format_RGB32 ||
        std::uint64_t(picture.sizeInBytes()) > maxBytes_)
        return false;
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  std::uint16_t(picture.width()), std::uint16_t(picture.height()), 0, 0, 0, 24,
                  std::uint32_t(picture.sizeInBytes()), picture.constBits());
    xcb_flush(connection);
    return true;
}

} // namespace platform
