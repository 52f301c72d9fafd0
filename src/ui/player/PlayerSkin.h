#pragma once
// The player's own skin: the screen's frame around the display and the control bar with the
// grooves the two knobs run in. Painted once, at the window's creation.

#include <QPixmap>

// 274 x 162, transparent outside its rounded frame.
QPixmap PaintPlayerScreen();
// 274 x 42: the position groove over the buttons, the volume groove beside them.
QPixmap PaintPlayerBar();
