#pragma once
// The format settings dialog TFormRecSettings: the output format (the page last shown) and
// its options on four pages, edited in the settings record; closing it applies the choice.

#include "audio/Bass.h"
#include "engine/global.h"

#include <QDialog>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QStyle;
class QTabWidget;
class QWidget;

// The 16 x 16 pictures of the four formats, shown on the page tabs and on the pages.
struct FormatIcons {
    QPixmap MP3;
    QPixmap OGG;
    QPixmap WMA;
    QPixmap Wav;
};

class TFormRecSettings : public QDialog {
public:
    // The capture device's format flags (WAVE_FORMAT_* bits of device 0), read afresh.
    using FormatFlagsReader = std::function<std::uint32_t()>;
    // The WMA encoder's bit rates for a rate and channel count (BASS_WMA_EncodeGetRates).
    using WmaRatesQuery = std::function<const DWORD*(DWORD freq, DWORD chans, DWORD flags)>;

    // `readFormatFlags` is read at creation, at every show and again at every close;
    // `endProgram` ends the program when the WMA encoder offers no rates. The settings file
    // must have been read: the dialog opens on the stored format's page.
    TFormRecSettings(RecordingSettings& settings, FormatFlagsReader readFormatFlags,
                     const FormatIcons& icons, std::function<void()> endProgram,
                     QWidget* parent = nullptr, WmaRatesQuery wmaRates = nullptr);
    ~TFormRecSettings() override;

    // Shows the dialog modally, filled from the settings; returns when it has closed and its
    // choice is applied. False when the program is ending instead (no WMA codec).
    bool Execute();

    // Fills the controls from the settings, then makes the active page's format the chosen one
    // (what showing the dialog does). False when the program is ending.
    bool Prepare();

    // Handlers.
    void FormCreate();
    void FormShow();
    // Runs the page's show handler, which makes its format the one chosen.
    void ShowPage(int page);
    void TSheetMP3Show();
    void TSheetOGGShow();
    void TSheetWmaShow();
    void TSheetWavShow();
    void ChBoxMP3VBRClick();
    void ChBoxOggQualityClick();
    void TBarOGG_QualityChange();
    void CBoxWavChannelChange();
    void CBoxWavBitsChange();
    void CBoxWmaChannelsChange();
    void BitBtnOKClick();
    void FormClose();

    // The format flags the sample rates are offered from.
    std::uint32_t FormatFlags = 0;

    QPushButton* BitBtnOK;
    QTabWidget* PControlFormat;
    QWidget* TSheetMP3;
    QWidget* TSheetOGG;
    QWidget* TSheetWma;
    QWidget* TSheetWav;
    QLabel* ImageMP3;
    QComboBox* CBoxMP3BitRate;
    QComboBox* CBoxMP3Mode;
    QGroupBox* GBoxMP3_VBR;
    QCheckBox* ChBoxMP3VBR;
    QComboBox* CBoxMP3MinBRate;
    QComboBox* CBoxMP3MaxBRate;
    QSlider* TBarMP3_VBR_Quality;
    QLabel* ImageOgg;
    QComboBox* CBoxOggRate;
    QComboBox* CBoxOggChannels;
    QGroupBox* GrBoxOgg_QualityMode;
    QCheckBox* ChBoxOggQuality;
    QLabel* LabOggQuality;
    QSlider* TBarOGG_Quality;
    QLabel* LabOggLow;
    QLabel* LabOggHigh;
    QLabel* ImageWma;
    QComboBox* CBoxWmaRate;
    QComboBox* CBoxWmaChannels;
    QLabel* ImageWAV;
    QComboBox* CBoxWavSpsIn;
    QComboBox* CBoxWavChannel;
    QComboBox* CBoxWavBits;

    // Every way of closing (OK, the close box, Escape) ends here, and applies.
    void done(int result) override;

private:
    void CreateControls();
    void BuildSampleRateList();
    // False when the encoder offers no rates: the program is then ending.
    bool BuildWmaRateList();
    void ApplyVbrRule();
    void ApplyOggRule();
    // The tab of `page` gets the tick, the others their plain picture.
    void MarkActivePage(int page);
    // The page's format becomes the only one chosen, its tab carries the tick.
    void ChooseFormatPage(int page, bool RecordingSettings::*format);
    // The rate to keep when the sample-rate list has nothing selected.
    std::uint32_t RateWithoutSelection() const;

    RecordingSettings& settings;
    FormatFlagsReader readFormatFlags;
    WmaRatesQuery wmaRates;
    std::function<void()> endProgram;
    std::array<QPixmap, 4> plainIcons;  // in tab order
    std::array<QPixmap, 4> tickedIcons; // the same with the green tick
    std::unique_ptr<QStyle> dialogStyle;
    bool ending = false;
    bool applied = false;
};
