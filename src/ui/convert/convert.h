#pragma once
// The WAV to MP3 converter window: the source and target names, the progress of the running
// conversion and its Cancel. It stays responsive and the program keeps monitoring meanwhile.

#include "engine/global.h"

#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class TFormConvert : public QWidget {
public:
    // `settings` gives the MP3 options; `parent` is the window to centre on (may be null).
    explicit TFormConvert(const RecordingSettings& settings, QWidget* parent = nullptr);

    // Set by the caller before the window is shown: the WAV file, the MP3 file to make, and
    // the source's format as the file list's probe read it.
    std::string SourcePath;
    std::string TargetPath;
    std::uint32_t SourceRate = 0;
    std::uint32_t SourceChannels = 0;

    // Runs the conversion of SourcePath into TargetPath and returns when it has ended: true
    // when it ran to the end, false when it was cancelled or there was no source (the target
    // is then deleted). Closes the window at the end. Refused (false) while one runs.
    bool Convert();
    bool Converting() const { return converting; }

    void FormShow();
    void BtnCancelClick();
    bool FormCloseQuery();

    QLabel* LabSource;
    QLabel* LabTarget;
    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* BtnCancel;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Lets the window events run for a few milliseconds while the encoder catches up.
    void WaitForEncoder();

    const RecordingSettings& settings;
    bool converting = false;
};
