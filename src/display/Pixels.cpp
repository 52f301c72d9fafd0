#include "display/Pixels.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Inside(const Pixels& image, int x, int y) {
    return x >= image.bounds.left() && x <= image.bounds.right() && y >= image.bounds.top() &&
           y <= image.bounds.bottom();
}

// Bresenham's walk along the longer axis, one pixel a step; the other coordinate is the
// nearest to the exact line, halves rounded away from the start. `Plot` gets each pixel.
template <typename Plot> void Walk(QPoint from, QPoint to, Plot plot) {
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    int x = from.x();
    int y = from.y();
    int error = 0; // twice the distance along the shorter axis, in steps
    if (ax >= ay) {
        for (int step = 0; step < ax; ++step) {
            plot(x, y);
            x += sx;
            error += 2 * ay;
            if (error >= ax) {
                y += sy;
                error -= 2 * ax;
            }
        }
    } else {
        for (int step = 0; step < ay; ++step) {
            plot(x, y);
            y += sy;
            error += 2 * ax;
            if (error >= ay) {
                x += sx;
                error -= 2 * ay;
            }
        }
    }
}

} // namespace

void FillRect(const Pixels& image, QRect rect, QRgb colour) {
    const int left = std::max(rect.left(), image.bounds.left());
    const int right = std::min(rect.right(), image.bounds.right());
    const int top = std::max(rect.top(), image.bounds.top());
    const int bottom = std::min(rect.bottom(), image.bounds.bottom());
    if (left > right || top > bottom)
        return;
    const int width = right - left + 1;
    QRgb* line = image.At(left, top);
    for (int y = top; y <= bottom; ++y, line += image.stride) {
        if (width == 1)
            *line = colour;
        else
            std::fill(line, line + width, colour);
    }
}

void Line(const Pixels& image, QPoint from, QPoint to, QRgb colour) {
    // Every pixel of a line lies between its ends: with both on the image none is checked.
    if (Inside(image, from.x(), from.y()) && Inside(image, to.x(), to.y())) {
        Walk(from, to, [&](int x, int y) { *image.At(x, y) = colour; });
        return;
    }
    Walk(from, to, [&](int x, int y) {
        if (Inside(image, x, y))
            *image.At(x, y) = colour;
    });
}

void CopyPixels(const QImage& from, QImage& to) {
    std::copy_n(from.constBits(), from.sizeInBytes(), to.bits());
}
