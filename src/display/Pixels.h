#pragma once
// Writing straight into the pixels of an RGB32 image. The screens draw hundreds of one-pixel
// bars, marks and line segments a block: through a painter each costs a span blend, here a
// store.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstddef>

struct Pixels {
    explicit Pixels(QImage& image)
        : bits(reinterpret_cast<QRgb*>(image.bits())), stride(image.bytesPerLine() / 4),
          bounds(image.rect()) {}

    QRgb* At(int x, int y) const { return bits + std::ptrdiff_t(y) * stride + x; }

    QRgb* bits;
    int stride;
    QRect bounds;
};

// Fills the part of `rect` that lies on the image.
void FillRect(const Pixels& image, QRect rect, QRgb colour);

// A one-pixel line from `from` to `to` without its end point, the part on the image: drawn
// one after another, segments of a trace meet without a pixel painted twice.
void Line(const Pixels& image, QPoint from, QPoint to, QRgb colour);

// Copies an image over another of the same size and format.
void CopyPixels(const QImage& from, QImage& to);
