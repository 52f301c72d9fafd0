// The popup menu's own painting, pixel by pixel, its texts, and a whole menu shown, hovered and
// clicked.

#include "ui/main/PopupMenu.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int Width = 170;
constexpr int Height = 20;
constexpr int Top = 10; // the item lies below the image's top, to catch rows taken from 0

PopupItemFacts WavPlayable() {
    PopupItemFacts facts;
    facts.CurrentFile = "/music/record001.wav";
    return facts;
}

// Paints one item on an image of a colour no item uses, with black as the menu's text colour.
QImage Paint(int kind, bool selected, const PopupItemFacts& facts) {
    static const PopupIcons icons = LoadPopupIcons();
    QImage image(Width, Top + Height + 5, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter canvas(&image);
    canvas.setFont(QApplication::font("QMenu"));
    canvas.setPen(Qt::black);
    DrawPopupItem(canvas, QRect(0, Top, Width, Height), kind, selected, facts, icons);
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// The darkest pixel where the text goes: the text colour where a stroke covers a whole pixel.
QColor TextColour(const QImage& image) {
    QColor darkest(255, 255, 255);
    for (int y = Top + 1; y < Top + Height - 1; ++y)
        for (int x = 25; x < Width - 2; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < darkest.red() + darkest.green() + darkest.blue())
                darkest = c;
        }
    return darkest;
}

void ExpectColour(const QColor& actual, int r, int g, int b, int tolerance = 0) {
    EXPECT_NEAR(actual.red(), r, tolerance);
    EXPECT_NEAR(actual.green(), g, tolerance);
    EXPECT_NEAR(actual.blue(), b, tolerance);
}

TEST(DrawPopupItem, UnselectedItemHasTheGreyStripItsIconAndPlainText) {
    const QImage image = Paint(1, false, WavPlayable());
    for (int y : {Top, Top + Height - 1}) {
        SCOPED_TRACE(y);
        for (int x = 0; x <= 20; ++x)
            ExpectColour(At(image, x, y), 255 - 3 * x, 255 - 3 * x, 255 - 3 * x);
        ExpectColour(At(image, 21, y), 235, 235, 230);
        ExpectColour(At(image, Width - 1, y), 235, 235, 230);
    }
    ExpectColour(At(image, 5, Top - 1), 255, 0, 255);
    ExpectColour(At(image, 5, Top + Height), 255, 0, 255);
    const QColor icon = At(image, 7, Top + 8); // inside the green triangle
    EXPECT_GT(icon.green(), icon.red() + 60);
    ExpectColour(TextColour(image), 0, 0, 0, 30);
}

TEST(DrawPopupItem, SelectedItemHasAFrameAndDarkensTowardsTheBottom) {
    const QImage image = Paint(6, true, WavPlayable());
    for (int x : {0, Width - 1})
        for (int y = Top; y < Top + Height; ++y)
            ExpectColour(At(image, x, y), 130, 150, 135);
    for (int x = 0; x < Width; ++x) {
        ExpectColour(At(image, x, Top), 130, 150, 135);
        ExpectColour(At(image, x, Top + Height - 1), 130, 150, 135);
    }
    // Right of the text: the gradient alone, from 245, 250, 255 one step of 2 a row.
    for (int c = 0; c <= Height - 3; ++c)
        ExpectColour(At(image, Width - 2, Top + 1 + c), 245 - 2 * c, 250 - 2 * c, 255 - 2 * c);
    const QColor cross = At(image, 4, Top + 4); // an arm of the red cross
    EXPECT_GT(cross.red(), cross.green() + 60);
    const QColor text = TextColour(image);
    EXPECT_LE(text.red(), 30);
    EXPECT_GE(text.blue(), text.red() + 30) << "dark blue text";
}

struct GreyCase {
    const char* label;
    int kind;
    bool selected;
    bool recording;
    bool playing;
    const char* file;
    bool icon;
    bool grey;
};

void PrintTo(const GreyCase& c, std::ostream* out) {
    *out << c.label;
}

class PopupGreying : public ::testing::TestWithParam<GreyCase> {};

TEST_P(PopupGreying, TextsGreyAndIconsFollowTheStateNotTheEnabling) {
    const GreyCase& c = GetParam();
    PopupItemFacts facts;
    facts.IsRecording = c.recording;
    facts.IsPlaying = c.playing;
    facts.CurrentFile = c.file;
    const QImage image = Paint(c.kind, c.selected, facts);
    const QColor text = TextColour(image);
    if (c.grey)
        ExpectColour(text, 128, 128, 128, 6);
    else
        EXPECT_LT(text.red() + text.green(), 80) << "dark text";
    // Without an icon, the middle of the icon square shows what lies under it.
    const QColor middle = At(image, 8, Top + 9);
    if (c.icon)
        EXPECT_NE(middle, c.selected ? At(image, 20, Top + 9) : QColor(231, 231, 231));
    else if (c.selected)
        EXPECT_EQ(middle, At(image, 20, Top + 9));
    else
        ExpectColour(middle, 231, 231, 231);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PopupGreying,
    ::testing::Values(
        GreyCase{"NoCurrentFile", 3, false, false, false, "", false, true},
        GreyCase{"NoCurrentFileSelected", 5, true, false, false, "", false, true},
        GreyCase{"Recording", 1, false, true, false, "/m/record001.wav", false, true},
        GreyCase{"PlayWhilePlaying", 1, false, false, true, "/m/record001.wav", true, true},
        GreyCase{"StopWhilePlaying", 2, false, false, true, "/m/record001.wav", true, false},
        GreyCase{"StopWhileIdle", 2, true, false, false, "/m/record001.wav", true, true},
        GreyCase{"ConvertWav", 4, false, false, false, "/m/take.Wav", true, false},
        GreyCase{"ConvertMp3", 4, false, false, false, "/m/record001.mp3", true, true},
        GreyCase{"ConvertFolderDotNotExtension", 4, false, false, false, "/m/a.wav/take", true,
                 true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DrawPopupItem, SeparatorIsALineOnTheFourthRowOverTheStrip) {
    const QImage image = Paint(0, false, WavPlayable());
    ExpectColour(At(image, 0, Top + 3), 255, 255, 255);
    ExpectColour(At(image, 1, Top + 3), 252, 252, 252);
    for (int x = 2; x < Width; ++x)
        ExpectColour(At(image, x, Top + 3), 150, 150, 150);
    ExpectColour(At(image, 10, Top + 2), 225, 225, 225);
    ExpectColour(At(image, 30, Top + 4), 235, 235, 230);
    for (int y = Top + 4; y < Top + Height; ++y)
        for (int x = 21; x < Width; ++x)
            ASSERT_EQ(At(image, x, y), QColor(235, 235, 230))
                << "no text or icon at " << x << "," << y;
}

TEST(PopupItemText, ConvertItemNamesTheBitRates) {
    PopupItemFacts facts;
    facts.BitRate = 128;
    EXPECT_EQ(PopupItemText(4, facts), "Convert to MP3 (128 kbps)");
    facts.VBR = true;
    facts.MinBitRate = 32;
    facts.MaxBitRate = 320;
    EXPECT_EQ(PopupItemText(4, facts), "Convert to MP3 (32-320 kbps)");
}

TEST(PMenu, ShownMenuPaintsItsItemsAndOnlyEnabledItemsRunTheirHandler) {
    PMenu menu(nullptr);
    EXPECT_EQ(menu.actions().size(), 8);
    EXPECT_EQ(menu.pmenuWav2Mp3->text(), "Convert to MP3");
    EXPECT_TRUE(menu.N4->isSeparator());
    for (QAction* action : menu.actions())
        EXPECT_FALSE(action->isEnabled() && !action->isSeparator()) << "starts disabled";

    menu.Facts = [] { return WavPlayable(); };
    int played = 0;
    int renamed = 0;
    menu.SetClick(PopupItem::Play, [&] { ++played; });
    menu.SetClick(PopupItem::Rename, [&] { ++renamed; });
    menu.SetEnabled(PopupItem::Play, true);
    menu.SetCaption(PopupItem::Wav2Mp3, "Convert to MP3 (128 kbps)");
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));

    const QRect play = menu.actionGeometry(menu.pmenuPlay);
    const QRect rename = menu.actionGeometry(menu.pmenuRename);
    const QRect convert = menu.actionGeometry(menu.pmenuWav2Mp3);
    EXPECT_GE(convert.width(),
              25 + menu.fontMetrics().horizontalAdvance("Convert to MP3 (128 kbps)"))
        << "the text fits the measured item";
    QTest::mouseMove(&menu, rename.center()); // a disabled item takes the selected look too
    QImage shown = menu.grab().toImage();
    ExpectColour(shown.pixelColor(play.left(), play.center().y()), 255, 255, 255);
    ExpectColour(shown.pixelColor(play.left() + 20, play.center().y()), 195, 195, 195);
    ExpectColour(shown.pixelColor(rename.left(), rename.center().y()), 130, 150, 135);
    ExpectColour(shown.pixelColor(rename.left() + 1, rename.top() + 1), 245, 250, 255);

    const QRect separator = menu.actionGeometry(menu.N4);
    ASSERT_GE(separator.height(), 4) << "room for the separator's line";
    ExpectColour(shown.pixelColor(separator.left() + 30, separator.top() + 3), 150, 150, 150);

    QTest::mouseClick(&menu, Qt::LeftButton, {}, rename.center());
    EXPECT_EQ(renamed, 0) << "disabled";
    ASSERT_TRUE(menu.isVisible());
    QTest::mouseClick(&menu, Qt::LeftButton, {}, play.center());
    EXPECT_EQ(played, 1);
    EXPECT_FALSE(menu.isVisible());
}

} // namespace
