// Lines written straight into the pixels: what lies on the image is drawn the same whether the
// line ends on it or runs off it, and a trace of segments paints every pixel once.

#include "display/Pixels.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb Ink = 0xFF00FF00u;

// The pixels of a 20 x 12 image, each 1 where ink fell.
std::string Drawn(const QImage& image, QPoint offset) {
    std::string marks;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            marks += image.pixel(x + offset.x(), y + offset.y()) == Ink ? '1' : '0';
    return marks;
}

} // namespace

TEST(Pixels, ALineOffTheImageDrawsWhatLiesOnItAsOneOnABiggerImageWould) {
    struct Case {
        QPoint from, to;
    };
    // Every octant; ends on the image, off one side, off both, and off the corners.
    const Case cases[] = {
        {{2, 3}, {17, 9}},    {{17, 9}, {2, 3}},    {{3, 1}, {9, 11}},    {{9, 11}, {3, 1}},
        {{-5, 4}, {12, 7}},   {{12, 7}, {25, 2}},   {{6, -8}, {10, 20}},  {{10, 20}, {6, -8}},
        {{-4, -3}, {24, 15}}, {{24, -3}, {-4, 15}}, {{-9, 30}, {30, -9}}, {{5, 5}, {5, 5}},
    };
    const QPoint offset(40, 40);
    for (const Case& c : cases) {
        QImage small(20, 12, QImage::Format_RGB32);
        QImage big(100, 92, QImage::Format_RGB32);
        small.fill(Qt::black);
        big.fill(Qt::black);
        Line(Pixels(small), c.from, c.to, Ink);
        Line(Pixels(big), c.from + offset, c.to + offset, Ink);
        EXPECT_EQ(Drawn(small, {}), Drawn(big, offset))
            << c.from.x() << "," << c.from.y() << " to " << c.to.x() << "," << c.to.y();
    }
}

TEST(Pixels, ASegmentPaintsOnePixelAStepAndLeavesItsEndPointToTheNext) {
    // A trace's joints: each is painted once, by the segment that starts there.
    const QPoint points[] = {{0, 6}, {3, 0}, {4, 11}, {12, 5}, {19, 5}};
    QImage image(20, 12, QImage::Format_RGB32);
    image.fill(0xFF000000u);
    for (std::size_t i = 0; i + 1 < std::size(points); ++i) {
        QImage segment(20, 12, QImage::Format_RGB32);
        segment.fill(0xFF000000u);
        Line(Pixels(segment), points[i], points[i + 1], 0xFF000001u);
        int painted = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                painted += int(segment.pixel(x, y) & 0xFFu);
                image.setPixel(x, y, image.pixel(x, y) + (segment.pixel(x, y) & 0xFFu));
            }
        const QPoint d = points[i + 1] - points[i];
        EXPECT_EQ(painted, std::max(std::abs(d.x()), std::abs(d.y()))) << "segment " << i;
    }
    for (std::size_t i = 0; i + 1 < std::size(points); ++i)
        EXPECT_EQ(image.pixel(points[i]) & 0xFFu, 1u) << "joint " << i;
    EXPECT_EQ(image.pixel(19, 5) & 0xFFu, 0u) << "the last point is left out";
}

TEST(Pixels, FillRectKeepsToTheImage) {
    QImage image(20, 12, QImage::Format_RGB32);
    image.fill(Qt::black);
    const Pixels pixels(image);
    FillRect(pixels, QRect(-3, -2, 5, 4), Ink); // the corner: 2 x 2
    FillRect(pixels, QRect(19, 4, 1, 30), Ink); // the last column from row 4: 8
    FillRect(pixels, QRect(25, 0, 3, 3), Ink);  // off the image
    FillRect(pixels, QRect(5, 5, 0, 3), Ink);   // empty
    int inked = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            inked += image.pixel(x, y) == Ink;
    EXPECT_EQ(inked, 4 + 8);
    EXPECT_EQ(image.pixel(1, 1), Ink);
    EXPECT_EQ(image.pixel(19, 11), Ink);
    EXPECT_NE(image.pixel(19, 3), Ink);
}
