#pragma once
// The two live screens: the waveform of the latest block and the scrolling history of block
// peaks, each painted into its own image that the main window copies onto its surface.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QStaticText>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

struct RecordingSettings;
struct ConvertedBlock;

// Told after a screen's image was painted; the main window copies the image at `at`.
class ScreenSurface {
public:
    virtual ~ScreenSurface() = default;
    virtual void ShowScreen(const QImage& bitmap, QPoint at) = 0;
};

inline constexpr int ScreenWidth = 250;
inline constexpr int ScreenHeight = 140;
inline constexpr int HistoryEntries = 601;
// The most points a waveform trace has (4800 and 9600 frames), plus its starting point.
inline constexpr int MaxTracePoints = 283;

using ScreenHistory = std::array<std::int32_t, HistoryEntries>;

// What a screen shows under its signal: the background, and for the waveform the grid, and the
// channel letters. Painted again only when one of the things it is made of changed.
struct ScreenBase {
    QImage Image;
    bool Valid = false;
    std::uint32_t Colour = 0;
    bool Picture = false;
    qint64 PictureKey = 0;
    bool Stereo = false;
};

// Everything the screens keep for the whole run; made once by the main window and passed in.
struct ScreenState {
    // Geometry, fixed by SetupScreens.
    int W = 0;
    int H = 0;
    QPoint WavePosition;
    QPoint StreamPosition;
    int Centre = 0;      // mono and mixed stereo
    int LeftCentre = 0;  // split view
    int RightCentre = 0; // split view
    QRect Background;

    // Pixels per sample unit and per captured frame, set by SetScreenScales.
    float WaveScaleY = 0;
    float StreamScaleY = 0;
    float WaveScaleX = 0;

    // Column 0 is the newest block, at the left edge; columns 0 to W are used.
    ScreenHistory LevelHistoryLeft{};
    ScreenHistory LevelHistoryRight{};
    ScreenHistory ClipHistoryLeft{};
    ScreenHistory ClipHistoryRight{};

    QImage WaveBitmap;
    QImage StreamBitmap;

    // Background pictures, set by the skin holder and the background image dialog.
    QImage ImageWave;
    QImage ImageStream;
    bool WaveImageLoaded = false;
    bool StreamImageLoaded = false;

    // Where the painted screens go; none while no window shows them.
    ScreenSurface* Surface = nullptr;

    // Made once so that drawing a block allocates nothing.
    QPen GridPen;
    QPen CentrePen;
    QFont LetterFont;
    QStaticText LetterL;
    QStaticText LetterR;
    std::array<QPoint, MaxTracePoints> Trace{};
    ScreenBase WaveBase;
    ScreenBase StreamBase;
    // The stream screen's grid, drawn over its bars: each pixel's place in the image and colour.
    std::vector<std::pair<int, QRgb>> GridPixels;
};

// Sizes both images (once, at main window creation) and fixes positions and centres.
void SetupScreens(ScreenState& screens);
// Scale factors from the channel count, the split option and the frames per capture buffer.
void SetScreenScales(ScreenState& screens, const RecordingSettings& settings);
// Redraws the waveform screen; without a block only background, grid and letters.
void DrawWaveform(ScreenState& screens, const RecordingSettings& settings,
                  const ConvertedBlock* block);
// Adds the block's peaks and clip flags to the history and redraws the stream screen.
void DrawStream(ScreenState& screens, const RecordingSettings& settings,
                const ConvertedBlock& block);
// Both screens for one captured block.
void DrawScreens(ScreenState& screens, const RecordingSettings& settings,
                 const ConvertedBlock& block);
// Empties the histories, shows the waveform screen without signal, and brings the last block
// taken back as the newest column of the emptied stream history.
void ClearScreens(ScreenState& screens, const RecordingSettings& settings,
                  const ConvertedBlock& block);

// Frames between drawn waveform points and how many points a trace has.
struct WaveSampling {
    int Step;
    int Points;
};
WaveSampling WaveformSampling(std::uint32_t captureFrames);

// Colours are stored with red in the low byte and blue in the high byte.
QColor ColourFromSetting(std::uint32_t colour);
