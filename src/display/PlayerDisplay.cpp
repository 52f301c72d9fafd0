#include "display/PlayerDisplay.h"

#include "display/Graph.h"
#include "display/Pixels.h"
#include "engine/global.h"
#include "library/ListTexts.h"
#include "platform/FileSystem.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int W = PlayerDisplayWidth;
constexpr int H = PlayerDisplayHeight;
// Wider than the image: a name between 250 and 260 pixels runs over its edges.
constexpr int NameWidth = 260;
// The top of the grid and of the centre line, H * 2 div 8.
constexpr int GridTop = H * 2 / 8;

const QColor Grey(145, 145, 145);
const QColor TextColour(200, 200, 255);
const QColor BarColour(120, 150, 255);

// A text laid out for the display's font, without wrapping.
QStaticText Prepared(const QString& text, const QFont& font) {
    QStaticText prepared(text);
    prepared.setTextFormat(Qt::PlainText);
    prepared.prepare(QTransform(), font);
    return prepared;
}

void ShortenName(PlayerDisplayState& display, const std::string& path) {
    if (path == display.NamePath && !display.NameText.isNull())
        return;
    display.NamePath = path;
    display.BaseValid = false;
    const auto slash = path.rfind(platform::PathSeparator);
    QString name =
        QString::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1));
    const QFontMetrics metrics(display.Font);
    while (!name.isEmpty() && metrics.horizontalAdvance(name) > NameWidth)
        name.chop(1);
    display.NameText = name.isNull() ? QString("") : name;
    display.Name = Prepared(display.NameText, display.Font);
    display.NameX = static_cast<int>(std::lrint(W / 2.0 - metrics.horizontalAdvance(name) / 2.0));
}

// |value| x 500 in whole pixels; anything that would reach into the text rows is held lower.
int BarHeight(float value) {
    const double scaled = std::fabs(double(value)) * 500.0;
    return scaled < H - 30 + 1 ? static_cast<int>(scaled) : H - 32;
}

void Fall(int v, int& cap, int& bar) {
    cap = v >= cap ? v : cap - 1;
    bar = v >= bar ? v : bar - 2;
    cap = std::max(cap, 0);
    bar = std::max(bar, 0);
}

// One side of the spectrum. A cap is a line from x two pixels outwards, without its end point;
// a bar fills the two columns outside x on the left (x - 2, x - 1) and from x on the right, up
// from just above the bottom row. A bar of 0 is empty; its cap still shows on row H - 2.
void PaintSide(PlayerDisplayState& display, bool left) {
    auto& caps = left ? display.LeftCaps : display.RightCaps;
    auto& bars = left ? display.LeftBars : display.RightBars;
    const QRgb cap = TextColour.rgb();
    const QRgb bar = BarColour.rgb();
    const Pixels pixels(display.Bitmap);
    for (int i = 0; i < SpectrumBars; ++i) {
        const int entry = 2 * (i + 2) + (left ? 0 : 1);
        Fall(BarHeight(display.Spectrum[entry]), caps[i], bars[i]);
        const int x = left ? 120 - 3 * i : 130 + 3 * i;
        FillRect(pixels, QRect(left ? x - 1 : x, H - 2 - caps[i], 2, 1), cap);
        FillRect(pixels, QRect(left ? x - 2 : x, H - 2 - bars[i], 2, bars[i]), bar);
    }
}

// Everything but the spectrum: painted only when one of its parts changed, which is once a
// second while a file plays.
void PaintBase(PlayerDisplayState& display, QRgb background, bool letters) {
    QPainter painter(&display.Base);
    painter.fillRect(QRect(0, 0, W, H), QColor(background));
    painter.fillRect(QRect(W / 2, GridTop, 1, H - GridTop), Grey);

    painter.setPen(display.GridPen);
    painter.setBrush(Qt::NoBrush);
    for (int i = 2; i <= 7; ++i)
        painter.drawLine(1, i * H / 8, W, i * H / 8);
    for (int i = 1; i <= 9; ++i)
        painter.drawLine(i * W / 10, GridTop, i * W / 10, H);

    painter.setFont(display.Font);
    if (letters) {
        painter.setPen(Grey);
        // Static texts are placed by their top left corner, as the positions are given.
        painter.drawStaticText(2, 20, display.LetterL);
        painter.drawStaticText(W - 10, 20, display.LetterR);
    }
    painter.setPen(TextColour);
    painter.drawStaticText(display.NameX, 0, display.Name);
    painter.drawStaticText(80, 16, display.Times);
    display.BaseValid = true;
    display.BaseBackground = background;
    display.BaseLetters = letters;
}

} // namespace

void SetupPlayerDisplay(PlayerDisplayState& display, const QFont& font) {
    display.Bitmap = QImage(W, H, QImage::Format_RGB32);
    display.Bitmap.fill(Qt::black);
    display.Base = QImage(W, H, QImage::Format_RGB32);
    // Flat caps leave out a line's end point; the grid's dots skip pixels without painting them.
    display.GridPen = QPen(Grey, 1, Qt::DotLine, Qt::FlatCap);
    // Unsmoothed, like the screens' letters: the same pixels on every display.
    display.Font = font;
    display.Font.setStyleStrategy(QFont::NoAntialias);
    display.LetterL = Prepared(QStringLiteral("L"), display.Font);
    display.LetterR = Prepared(QStringLiteral("R"), display.Font);
    display.NamePath.clear();
    display.NameText = QString();
    display.TimesText.clear();
    display.BaseValid = false;
}

void DrawPlayerDisplay(PlayerDisplayState& display, const PlayerDisplayInputs& inputs) {
    const RecordingSettings& settings = *inputs.Settings;
    ShortenName(display, inputs.CurrentFile != nullptr ? *inputs.CurrentFile : std::string());
    const bool playing = inputs.Form == DisplayForm::Playing;
    const std::string times = DurationText(playing ? inputs.PositionSeconds : 0) + " / " +
                              DurationText(inputs.LengthSeconds);
    if (times != display.TimesText) {
        display.TimesText = times;
        display.BaseValid = false;
        display.Times =
            Prepared(QString::fromLatin1(times.data(), int(times.size())), display.Font);
    }
    const QRgb background = ColourFromSetting(settings.BackgroundColor).rgb();
    const bool letters = settings.Channels > 1;
    if (!display.BaseValid || background != display.BaseBackground ||
        letters != display.BaseLetters)
        PaintBase(display, background, letters);
    CopyPixels(display.Base, display.Bitmap);
    if (playing) {
        PaintSide(display, true);
        PaintSide(display, false);
    }
}
