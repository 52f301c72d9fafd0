#pragma once
// System-wide hot keys: F5, F7, F8 and F9 without modifiers reach the program whichever window has
// the focus. On X11 they are key grabs on the root window; without an X11 connection (Wayland,
// offscreen) nothing is grabbed and the window's own shortcuts stand in.

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

enum class HotKey { F5, F7, F8, F9 };

class HotKeys : public QAbstractNativeEventFilter {
public:
    // `onKey` receives the identifier given to Register when its key is pressed.
    explicit HotKeys(std::function<void(int id)> onKey);
    ~HotKeys() override;
    HotKeys(const HotKeys&) = delete;
    HotKeys& operator=(const HotKeys&) = delete;

    // Grabs the key for the whole desktop. False when there is no X11 connection or another
    // program holds the key; the caller then falls back to a shortcut of its window.
    bool Register(int id, HotKey key);
    void Unregister(int id);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        int id;
        std::uint8_t keycode;
    };
    std::function<void(int id)> onKey_;
    std::vector<Grab> grabs_;
    std::uint32_t root_ = 0;
    bool filterInstalled_ = false;
};

} // namespace platform
