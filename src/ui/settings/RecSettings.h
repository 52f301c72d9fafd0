#pragma once
// The format settings dialog TFormRecSettings: the output format (the page last shown) and
// its options on one page per format, edited in the settings record; closing it applies the
// choice.

#include "audio/Bass.h"
#include "engine/OutputFormats.h"

#include <QDialog>
#include <QPixmap>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QStyle;
class QTabWidget;
class QWidget;

// The 16 x 16 pictures of the output formats, shown on the page tabs and on the pages.
using FormatIcons = std::map<FormatId, QPixmap>;

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
    // A page shown: its format becomes the only one chosen, its tab carries the tick.
    void ShowPage(int page);
    void ChBoxMP3VBRClick();
    void ChBoxOggQualityClick();
    void TBarOGG_QualityChange();
    // The WAV and FLAC pages edit the same rate and channels, so each follows the other.
    void CBoxWavSpsInChange();
    void CBoxWavChannelChange();
    void CBoxWavBitsChange();
    void CBoxFlacSpsInChange();
    void CBoxFlacChannelChange();
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
    QWidget* TSheetFlac;
    QWidget* TSheetOpus;
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
    QLabel* ImageFlac;
    QComboBox* CBoxFlacSpsIn;
    QComboBox* CBoxFlacChannel;
    QComboBox* CBoxFlacLevel;
    QLabel* ImageOpus;
    QComboBox* CBoxOpusRate;
    QComboBox* CBoxOpusChannels;

    // Every way of closing (OK, the close box, Escape) ends here, and applies.
    void done(int result) override;

private:
    void CreateControls();
    struct Sheet {
        QWidget* page;
        const char* caption;
    };
    // A format's page and its tab's caption.
    Sheet SheetOf(FormatId format) const;
    // Adds the pages in their tab order and widens the dialog where the tabs need more room.
    void AddPages();
    void BuildSampleRateLists();
    // False when the encoder offers no rates: the program is then ending.
    bool BuildWmaRateList();
    void ApplyVbrRule();
    void ApplyOggRule();
    // The tab of `page` gets the tick, the others their plain picture.
    void MarkActivePage(int page);

    RecordingSettings& settings_;
    FormatFlagsReader readFormatFlags_;
    WmaRatesQuery wmaRates_;
    std::function<void()> endProgram_;
    std::vector<QPixmap> plainIcons_;  // in tab order
    std::vector<QPixmap> tickedIcons_; // the same with the green tick
    std::unique_ptr<QStyle> dialogStyle_;
    bool ending_ = false;
    bool applied_ = false;
};
