#include "platform/HotKeys.h"

#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {

namespace {

// Lock and Mod2 (Num Lock) must not stop a key: it is grabbed with each combination of them.
constexpr std::uint16_t LockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                       XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t* Connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen ? screen->root : 0;
}

xcb_keysym_t KeySymOf(HotKey key) {
    switch (key) {
    case HotKey::F5:
        return 0xffc2;
    case HotKey::F7:
        return 0xffc4;
    case HotKey::F8:
        return 0xffc5;
    case HotKey::F9:
        return 0xffc6;
    }
    return 0;
}

// The first key code whose unshifted symbol is the key; 0 when the keyboard has none.
std::uint8_t KeyCodeOf(xcb_connection_t* connection, xcb_keysym_t symbol) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
    std::uint8_t found = 0;
    for (int i = 0; i < count && !found; ++i) {
        if (symbols[i * reply->keysyms_per_keycode] == symbol)
            found = static_cast<std::uint8_t>(setup->min_keycode + i);
    }
    std::free(reply);
    return found;
}

} // namespace

HotKeys::HotKeys(std::function<void(int id)> onKey) : onKey_(std::move(onKey)) {}

HotKeys::~HotKeys() {
    while (!grabs_.empty())
        Unregister(grabs_.back().id);
    if (filterInstalled_ && qApp)
        qApp->removeNativeEventFilter(this);
}

bool HotKeys::Register(int id, HotKey key) {
    xcb_connection_t* connection = Connection();
    if (!connection)
        return false;
    root_ = RootWindow(connection);
    const std::uint8_t keycode = KeyCodeOf(connection, KeySymOf(key));
    if (!root_ || !keycode)
        return false;
    bool held = true;
    for (const std::uint16_t mask : LockMasks) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            connection, 1, root_, mask, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            held = false; // another client holds this key
            std::free(error);
        }
    }
    if (!held) {
        for (const std::uint16_t mask : LockMasks)
            xcb_ungrab_key(connection, keycode, root_, mask);
        xcb_flush(connection);
        return false;
    }
    grabs_.push_back({id, keycode});
    if (!filterInstalled_) {
        qApp->installNativeEventFilter(this);
        filterInstalled_ = true;
    }
    return true;
}

void HotKeys::Unregister(int id) {
    for (auto grab = grabs_.begin(); grab != grabs_.end(); ++grab) {
        if (grab->id != id)
            continue;
        if (xcb_connection_t* connection = Connection()) {
            for (const std::uint16_t mask : LockMasks)
                xcb_ungrab_key(connection, grab->keycode, root_, mask);
            xcb_flush(connection);
        }
        grabs_.erase(grab);
        return;
    }
}

bool HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    // Only the grabs: the same key with other modifiers in our own window is an ordinary key.
    if (press->event != root_)
        return false;
    for (const Grab& grab : grabs_) {
        if (grab.keycode == press->detail) {
            onKey_(grab.id);
            return true;
        }
    }
    return false;
}

} // namespace platform
