#pragma once
// Which kind of desktop session the program runs in, for what it can grab there.

namespace platform {

// True on Wayland, natively or through XWayland: a key grab on X11's root window would then see
// only the keys pressed in X11 windows, so it is no global key.
bool WaylandSession();

} // namespace platform
