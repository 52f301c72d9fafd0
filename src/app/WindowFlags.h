#pragma once
// The flags several windows share: which family of sound system the program runs on, whether an
// image button shows its hover picture, and which screen the background image dialog edits.

struct WindowFlags {
    bool VistaMode = true; // the Linux sound server behaves as the newer family
    bool HoverActive = false;
    bool EditWaveImage = false;
};
