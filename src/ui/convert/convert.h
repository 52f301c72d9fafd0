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

    // The running or last conversion's WAV file, the MP3 file to make, and the source's format
    // as the file list's probe read it; set by Convert.
    std::string SourcePath;
    std::string TargetPath;
    std::uint32_t SourceRate = 0;
    std::uint32_t SourceChannels = 0;

    // Converts `source` into `target` and returns when it has ended: true when the target now
    // holds the new MP3 file; false when it was cancelled, there was no source, or it failed
    // (which is reported), and the target is then as it was. Closes the window at the end.
    // Refused (false) while one runs, before anything of the running one changes.
    bool Convert(const std::string& source, const std::string& target, std::uint32_t rate,
                 std::uint32_t channels);
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
