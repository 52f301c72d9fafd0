#pragma once
// The recording level control: where the knob sits on its bar for a level, and the level a
// knob position stands for. One pixel is 1/88 of the range, held as a 32-bit float.

inline constexpr int KnobLowest = 20;   // left edge at level 0
inline constexpr int KnobHighest = 108; // left edge at level 1
inline constexpr int VolBarLeft = 18;
inline constexpr float LevelPerPixel = 1.0f / 88.0f;

// The knob's left edge for a level; a negative level (no level control) puts it lowest.
int KnobLeftForLevel(float level);
// The knob's left edge while dragged: the mouse's x inside the knob against where the drag began.
int DraggedKnobLeft(int mouseX, int knobLeft, int dragStartX);
float LevelForKnob(int knobLeft);
// The bar runs from its fixed left edge to the knob.
inline int VolBarWidth(int knobLeft) {
    return knobLeft - VolBarLeft;
}
