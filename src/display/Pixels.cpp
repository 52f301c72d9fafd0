#include "display/Pixels.h"

#include <algorithm>
#include <cstdlib>

void FillRect(const Pixels& image, QRect rect, QRgb colour) {
    rect = rect.intersected(image.bounds);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        QRgb* line = image.At(rect.left(), y);
        std::fill(line, line + rect.width(), colour);
    }
}

void Line(const Pixels& image, QPoint from, QPoint to, QRgb colour) {
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return;
    // Along the longer axis one pixel a step; the other coordinate is the nearest to the
    // exact line, halves rounded away from the start.
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    int x = from.x();
    int y = from.y();
    int error = 0; // twice the distance along the shorter axis, in steps
    for (int step = 0; step < steps; ++step) {
        if (image.bounds.contains(x, y))
            *image.At(x, y) = colour;
        if (ax >= ay) {
            x += sx;
            error += 2 * ay;
            if (error >= ax) {
                y += sy;
                error -= 2 * ax;
            }
        } else {
            y += sy;
            error += 2 * ax;
            if (error >= ay) {
                x += sx;
                error -= 2 * ay;
            }
        }
    }
}

void CopyPixels(const QImage& from, QImage& to) {
    std::copy_n(from.constBits(), from.sizeInBytes(), to.bits());
}
