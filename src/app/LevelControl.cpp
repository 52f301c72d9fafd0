#include "app/LevelControl.h"

#include <algorithm>
#include <cmath>

int KnobLeftForLevel(float level) {
    const float steps = std::nearbyint(level / LevelPerPixel);
    return std::clamp(KnobLowest + static_cast<int>(std::clamp(steps, -1000.0f, 1000.0f)),
                      KnobLowest, KnobHighest);
}

int DraggedKnobLeft(int mouseX, int knobLeft, int dragStartX) {
    return std::clamp(mouseX + knobLeft - dragStartX, KnobLowest, KnobHighest);
}

float LevelForKnob(int knobLeft) {
    return static_cast<float>(knobLeft - KnobLowest) * LevelPerPixel;
}
