#include "display/Graph.h"

#include "display/Pixels.h"
#include "engine/Numbers.h"
#include "engine/Processing.h"
#include "engine/global.h"

#include <QPainter>
#include <algorithm>

namespace {

const QColor GridGrey(145, 145, 145);
const QColor ClipPen(255, 100, 100);
const QColor ClipFill(255, 50, 50);

// Like the engine, any channel count but 1 is taken as stereo.
bool IsStereo(const RecordingSettings& settings) {
    return settings.Channels != 1;
}

bool IsSplit(const RecordingSettings& settings) {
    return IsStereo(settings) && settings.SplitChannels;
}

// A vertical line from `from` towards `to`, leaving out the end point as line drawing does.
void VerticalLine(const Pixels& image, int x, int from, int to, QRgb colour) {
    if (from > to) {
        FillRect(image, QRect(x, to + 1, 1, from - to), colour);
    } else if (from < to) {
        FillRect(image, QRect(x, from, 1, to - from), colour);
    }
}

// A rectangle outlined in the pen and filled inside; the two-pixel-wide clip marks are all
// outline, so only the pen colour shows in them.
void FramedRect(const Pixels& image, int left, int top, int right, int bottom) {
    const QRect rect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    FillRect(image, rect, ClipPen.rgb());
    FillRect(image, rect.adjusted(1, 1, -1, -1), ClipFill.rgb());
}

void PaintBackground(QPainter& painter, const ScreenState& screens,
                     const RecordingSettings& settings, bool imageLoaded, const QImage& image) {
    if (imageLoaded && !image.isNull()) {
        painter.drawImage(screens.Background, image);
    } else {
        painter.fillRect(screens.Background, ColourFromSetting(settings.BackgroundColor));
    }
}

void PaintGrid(QPainter& painter, const ScreenState& screens) {
    const int w = screens.W;
    const int h = screens.H;
    painter.setPen(screens.GridPen);
    painter.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 7; ++i) {
        painter.drawLine(1, h * i / 8, w, h * i / 8);
    }
    for (int i = 1; i <= 9; ++i) {
        painter.drawLine(w * i / 10, 1, w * i / 10, h);
    }
    painter.setPen(screens.CentrePen);
    painter.drawLine(1, h / 2, w, h / 2);
}

void PaintLetters(QPainter& painter, const ScreenState& screens,
                  const RecordingSettings& settings) {
    if (!IsStereo(settings)) {
        return;
    }
    painter.setPen(GridGrey);
    painter.setFont(screens.LetterFont);
    painter.drawStaticText(2, 0, screens.LetterL);
    painter.drawStaticText(2, screens.H - 12, screens.LetterR);
}

// One channel's trace around `centre`. Only the top edge is guarded; the first point is not.
void PaintTrace(const Pixels& pixels, ScreenState& screens, const std::int16_t* samples, int centre,
                const WaveSampling& sampling, QRgb colour) {
    auto& points = screens.Trace;
    points[0] = QPoint(0, centre - RoundHalfEven(samples[0] * double(screens.WaveScaleY)));
    for (int j = 0; j < sampling.Points; ++j) {
        int y = centre - RoundHalfEven(samples[j * sampling.Step] * double(screens.WaveScaleY));
        if (y <= 0) {
            y = 1;
        }
        points[j + 1] = QPoint(RoundHalfEven(j * double(screens.WaveScaleX) * sampling.Step), y);
    }
    for (int j = 0; j < sampling.Points; ++j) {
        Line(pixels, points[j], points[j + 1], colour);
    }
}

void PaintBars(const Pixels& painter, const ScreenState& screens,
               const RecordingSettings& settings) {
    const QRgb left = ColourFromSetting(settings.LeftColor).rgb();
    const QRgb right = ColourFromSetting(settings.RightColor).rgb();
    const int c = screens.Centre;
    for (int i = 0; i <= screens.W; ++i) {
        const int l = screens.LevelHistoryLeft[i];
        const int r = screens.LevelHistoryRight[i];
        if (IsSplit(settings)) {
            VerticalLine(painter, i, screens.LeftCentre + l, screens.LeftCentre - l, left);
            VerticalLine(painter, i, screens.RightCentre + r, screens.RightCentre - r, right);
        } else if (IsStereo(settings)) {
            VerticalLine(painter, i, c, c - l, left);
            VerticalLine(painter, i, c, c + r, right);
        } else {
            VerticalLine(painter, i, c + l, c - l, left);
        }
    }
}

void PaintClipMarks(const Pixels& painter, const ScreenState& screens,
                    const RecordingSettings& settings) {
    const int h = screens.H;
    const bool split = IsSplit(settings);
    for (int i = 0; i <= screens.W; ++i) {
        const bool left = screens.ClipHistoryLeft[i] != 0;
        const bool right = screens.ClipHistoryRight[i] != 0;
        if (!IsStereo(settings)) {
            if (left) {
                FramedRect(painter, i - 1, 0, i + 1, 3);
                FramedRect(painter, i - 1, h - 3, i + 1, h);
            }
            continue;
        }
        if (left) {
            FramedRect(painter, i - 1, 0, i + 1, 3);
            if (split) {
                FramedRect(painter, i - 1, h / 2 - 3, i + 1, h / 2);
            }
        }
        if (right) {
            if (split) {
                FramedRect(painter, i - 1, h / 2, i + 1, h / 2 + 3);
            }
            FramedRect(painter, i - 1, h - 3, i + 1, h);
        }
    }
}

void ShowOnSurface(const ScreenState& screens, const QImage& bitmap, QPoint at) {
    if (screens.Surface != nullptr) {
        screens.Surface->ShowScreen(bitmap, at);
    }
}

// Paints the screen's base again when its background colour, picture or channel letters changed.
const QImage& PrepareBase(ScreenBase& base, const ScreenState& screens,
                          const RecordingSettings& settings, bool imageLoaded, const QImage& image,
                          bool withGrid) {
    const bool picture = imageLoaded && !image.isNull();
    const qint64 pictureKey = picture ? image.cacheKey() : 0;
    if (base.Valid && base.Colour == settings.BackgroundColor && base.Picture == picture &&
        base.PictureKey == pictureKey && base.Stereo == IsStereo(settings)) {
        return base.Image;
    }
    if (base.Image.isNull()) {
        base.Image = QImage(screens.W, screens.H, QImage::Format_RGB32);
    }
    QPainter painter(&base.Image);
    PaintBackground(painter, screens, settings, imageLoaded, image);
    if (withGrid) {
        PaintGrid(painter, screens);
    }
    PaintLetters(painter, screens, settings);
    painter.end();
    base = {base.Image, true, settings.BackgroundColor, picture, pictureKey, IsStereo(settings)};
    return base.Image;
}

// Repaints the stream screen from the histories as they stand.
void PaintStream(ScreenState& screens, const RecordingSettings& settings) {
    QImage& bitmap = screens.StreamBitmap;
    CopyPixels(PrepareBase(screens.StreamBase, screens, settings, screens.StreamImageLoaded,
                           screens.ImageStream, false),
               bitmap);
    Pixels pixels(bitmap);
    PaintBars(pixels, screens, settings);
    if (settings.ClippingDetection) {
        PaintClipMarks(pixels, screens, settings);
    }
    for (const auto& [place, colour] : screens.GridPixels) {
        pixels.bits[place] = colour;
    }
    ShowOnSurface(screens, bitmap, screens.StreamPosition);
}

// A level below the previous bar shows as 70 % of that bar, so bars fall by 30 % a block.
// Seven tenths in integers first: 0.7 has no exact binary form, and 45 x 0.7 would come out a
// hair below 31.5 and round to 31 instead of the even 32.
std::int32_t NextLevel(double scaledPeak, std::int32_t previous) {
    const int level = RoundHalfEven(scaledPeak);
    return level < previous ? RoundHalfEven(previous * 7 / 10.0) : level;
}

} // namespace

QColor ColourFromSetting(std::uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

WaveSampling WaveformSampling(std::uint32_t captureFrames) {
    // 4410 frames give a step of 16 and 275 points, 4800 give 17 and 282, 9600 give 34 and 282:
    // about 282 points whatever the rate, never reading past the block.
    const int frames = static_cast<int>(std::min<std::uint32_t>(captureFrames, 10002));
    const int step = std::max(1, RoundHalfEven(frames / 282.0));
    return {step, std::min(frames / step, MaxTracePoints - 1)};
}

void SetupScreens(ScreenState& screens) {
    screens.W = ScreenWidth;
    screens.H = ScreenHeight;
    screens.WavePosition = QPoint(12, 41);
    screens.StreamPosition = QPoint(286, 41);
    screens.Centre = screens.H / 2;
    screens.LeftCentre = RoundHalfEven(screens.H / 4.0);
    screens.RightCentre = RoundHalfEven(3 * screens.H / 4.0);
    screens.Background = QRect(0, 0, screens.W, screens.H);
    for (QImage* bitmap : {&screens.WaveBitmap, &screens.StreamBitmap}) {
        *bitmap = QImage(screens.W, screens.H, QImage::Format_RGB32);
        bitmap->fill(Qt::black);
    }

    // Flat caps leave out a line's end point, so consecutive segments meet without overlap.
    screens.GridPen = QPen(GridGrey, 1, Qt::DotLine, Qt::FlatCap);
    screens.CentrePen = QPen(GridGrey, 1, Qt::SolidLine, Qt::FlatCap);
    // A fixed pixel size without smoothing keeps the letters the same on every display.
    screens.LetterFont = QFont(QStringLiteral("DejaVu Sans"));
    screens.LetterFont.setPixelSize(11);
    screens.LetterFont.setStyleStrategy(QFont::NoAntialias);
    screens.LetterL = QStaticText(QStringLiteral("L"));
    screens.LetterR = QStaticText(QStringLiteral("R"));
    screens.LetterL.prepare(QTransform(), screens.LetterFont);
    screens.LetterR.prepare(QTransform(), screens.LetterFont);

    // The grid's pixels, found by painting it once on a see-through image.
    QImage grid(screens.W, screens.H, QImage::Format_ARGB32);
    grid.fill(Qt::transparent);
    QPainter painter(&grid);
    PaintGrid(painter, screens);
    painter.end();
    const int stride = screens.StreamBitmap.bytesPerLine() / 4;
    screens.GridPixels.clear();
    for (int y = 0; y < screens.H; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(grid.constScanLine(y));
        for (int x = 0; x < screens.W; ++x) {
            if (qAlpha(line[x]) != 0) {
                screens.GridPixels.emplace_back(y * stride + x, line[x] | 0xFF000000u);
            }
        }
    }
    screens.WaveBase.Valid = false;
    screens.StreamBase.Valid = false;
}

void SetScreenScales(ScreenState& screens, const RecordingSettings& settings) {
    const double units = IsSplit(settings) ? 131068.0 : 65534.0;
    screens.WaveScaleY = static_cast<float>(screens.H / units);
    screens.StreamScaleY = screens.WaveScaleY;
    screens.WaveScaleX = static_cast<float>(double(screens.W) / settings.CaptureFrames);
}

void DrawWaveform(ScreenState& screens, const RecordingSettings& settings,
                  const ConvertedBlock* block) {
    CopyPixels(PrepareBase(screens.WaveBase, screens, settings, screens.WaveImageLoaded,
                           screens.ImageWave, true),
               screens.WaveBitmap);
    if (block != nullptr) {
        const Pixels pixels(screens.WaveBitmap);
        const WaveSampling sampling = WaveformSampling(settings.CaptureFrames);
        const QRgb left = ColourFromSetting(settings.LeftColor).rgb();
        const QRgb right = ColourFromSetting(settings.RightColor).rgb();
        if (IsSplit(settings)) {
            PaintTrace(pixels, screens, block->LeftSamples.data(), screens.LeftCentre, sampling,
                       left);
            PaintTrace(pixels, screens, block->RightSamples.data(), screens.RightCentre, sampling,
                       right);
        } else {
            PaintTrace(pixels, screens, block->LeftSamples.data(), screens.Centre, sampling, left);
            if (IsStereo(settings)) {
                PaintTrace(pixels, screens, block->RightSamples.data(), screens.Centre, sampling,
                           right);
            }
        }
    }
    ShowOnSurface(screens, screens.WaveBitmap, screens.WavePosition);
}

void DrawStream(ScreenState& screens, const RecordingSettings& settings,
                const ConvertedBlock& block) {
    for (ScreenHistory* history : {&screens.LevelHistoryLeft, &screens.LevelHistoryRight,
                                   &screens.ClipHistoryLeft, &screens.ClipHistoryRight}) {
        std::copy_backward(history->begin(), history->begin() + screens.W,
                           history->begin() + screens.W + 1);
    }
    screens.LevelHistoryLeft[0] =
        NextLevel(double(screens.StreamScaleY) * block.PeakLeft, screens.LevelHistoryLeft[1]);
    screens.LevelHistoryRight[0] =
        NextLevel(double(screens.StreamScaleY) * block.PeakRight, screens.LevelHistoryRight[1]);
    // Column 1, not 0: a mark covers its own column and the one left of it, the newest bar.
    screens.ClipHistoryLeft[1] = block.ClipLeft;
    screens.ClipHistoryRight[1] = block.ClipRight;
    PaintStream(screens, settings);
}

void DrawScreens(ScreenState& screens, const RecordingSettings& settings,
                 const ConvertedBlock& block) {
    DrawWaveform(screens, settings, &block);
    DrawStream(screens, settings, block);
}

void ClearScreens(ScreenState& screens, const RecordingSettings& settings,
                  const ConvertedBlock& block) {
    for (ScreenHistory* history : {&screens.LevelHistoryLeft, &screens.LevelHistoryRight,
                                   &screens.ClipHistoryLeft, &screens.ClipHistoryRight}) {
        history->fill(0);
    }
    DrawWaveform(screens, settings, nullptr);
    // The last block taken comes back as the newest column of the emptied history.
    DrawStream(screens, settings, block);
}
