#pragma once
// The identifiers under which the four system-wide hot keys are registered, and how the
// desktop's shortcut settings and the buttons' hints name them.

inline constexpr int HotKeyRecord = 101; // F5
inline constexpr int HotKeyPause = 102;  // F7
inline constexpr int HotKeyStop = 103;   // F9
inline constexpr int HotKeyMarker = 104; // F8

struct HotKeyName {
    int id;
    const char* shortcutId; // stable: the desktop remembers the user's keys under it
    const char* action;     // the button's hint before the key
    const char* key;        // the preferred key
};
inline constexpr HotKeyName HotKeyNames[] = {{HotKeyRecord, "record", "Record", "F5"},
                                             {HotKeyPause, "pause-resume", "Pause/Resume", "F7"},
                                             {HotKeyStop, "stop", "Stop", "F9"},
                                             {HotKeyMarker, "marker", "Marker", "F8"}};
