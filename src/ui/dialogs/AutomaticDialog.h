#pragma once
// "Automatic Recording": the name template of new recordings with a preview of the next name,
// the limits at which a recording goes on in a next file, and the start on sound. OK writes the
// [Names], [Split] and [Voice Activation] fields of the settings record.

#include "engine/global.h"
#include "platform/TimedPathLookup.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class AutomaticDialog : public QDialog {
public:
    AutomaticDialog(RecordingSettings& settings, QWidget* parent);

    QLineEdit* NameTemplate;
    QLabel* NamePreview;
    QSpinBox* SplitMinutes;
    QSpinBox* SplitMegabytes;
    QComboBox* VoiceMode;
    QSpinBox* VoiceThreshold;
    QSpinBox* VoicePreRoll;
    QSpinBox* VoiceHangTime;

    // Takes the fields into the settings record (what OK does).
    void Apply();

private:
    void ShowNamePreview();

    RecordingSettings& settings_;
    // The preview's name pick looks at the output folder through it.
    platform::TimedPathLookup folderLook_;
};
