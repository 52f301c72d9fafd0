// Cutting a label's text to a pixel width.

#include "ui/common/TextWidth.h"

#include <gtest/gtest.h>

namespace {

TEST(CutToWidth, DropsCharactersFromTheEndUntilTheTextFitsWithoutEllipsis) {
    const QFontMetrics metrics(QFont("MS Sans Serif", 8));
    const QString longName = "Monitor of Built-in Audio Analog Stereo with a long name";
    const QString cut = CutToWidth(longName, metrics, 150);
    EXPECT_LE(metrics.horizontalAdvance(cut), 150);
    EXPECT_GT(metrics.horizontalAdvance(longName.left(cut.size() + 1)), 150);
    EXPECT_TRUE(longName.startsWith(cut));
    EXPECT_EQ(CutToWidth("Mic", metrics, 150), "Mic");
}

} // namespace
