#pragma once
// The identifiers under which the three system-wide hot keys are registered.

inline constexpr int HotKeyRecord = 101; // F5
inline constexpr int HotKeyPause = 102;  // F7
inline constexpr int HotKeyStop = 103;   // F9
