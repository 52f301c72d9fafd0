#pragma once
// The player's screen: grid, file name, position and length times and the falling spectrum
// bars, painted into one image that the player window copies at (12, 12); and the player's
// time format.

#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QStaticText>
#include <QString>
#include <array>
#include <string>

struct RecordingSettings;

inline constexpr int PlayerDisplayWidth = 250;
inline constexpr int PlayerDisplayHeight = 140;
inline const QPoint PlayerDisplayPosition(12, 12);
// 512 magnitudes a channel, interleaved per bin: the most a stereo file gives.
inline constexpr int SpectrumEntries = 1024;
inline constexpr int SpectrumBars = 61;

enum class DisplayForm { Idle, Playing };

// Everything the display keeps for the whole run; made once by the player window.
struct PlayerDisplayState {
    QImage Bitmap;
    // The picture without the spectrum, as last painted; a new name or time makes it invalid.
    QImage Base;
    bool BaseValid = false;
    QRgb BaseBackground = 0;
    bool BaseLetters = false;
    // Filled by the player's tick while a file plays.
    std::array<float, SpectrumEntries> Spectrum{};
    // Heights in pixels, kept between draws and across files.
    std::array<int, SpectrumBars> LeftCaps{};
    std::array<int, SpectrumBars> LeftBars{};
    std::array<int, SpectrumBars> RightCaps{};
    std::array<int, SpectrumBars> RightBars{};

    QFont Font;
    QPen GridPen;
    // Texts laid out once and again only when they change: shaping a text costs more than the
    // rest of a draw.
    QStaticText LetterL;
    QStaticText LetterR;
    std::string NamePath; // the file whose name is shown
    QString NameText;     // its name, shortened
    QStaticText Name;
    int NameX = 0;
    std::string TimesText;
    QStaticText Times;
};

// What a draw reads besides its own state.
struct PlayerDisplayInputs {
    DisplayForm Form = DisplayForm::Idle;
    const RecordingSettings* Settings = nullptr;
    const std::string* CurrentFile = nullptr;
    double PositionSeconds = 0;
    double LengthSeconds = 0;
};

// Makes the image (once, with the player window) and the pens; `font` is the window's font.
void SetupPlayerDisplay(PlayerDisplayState& display, const QFont& font);
// Paints the whole picture; in the playing form the bars and caps move on by one step.
void DrawPlayerDisplay(PlayerDisplayState& display, const PlayerDisplayInputs& inputs);
