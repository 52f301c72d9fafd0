#pragma once
// "Scheduled Recording": when the program starts a recording by itself, for how long, and
// whether every day; the next start is shown as the fields change. OK writes the [Schedule]
// fields of the settings record.

#include "engine/global.h"

#include <QDialog>

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QTimeEdit;

class ScheduleDialog : public QDialog {
public:
    ScheduleDialog(RecordingSettings& settings, QWidget* parent);

    QCheckBox* Enabled;
    QDateTimeEdit* StartAt;
    QTimeEdit* Duration;
    QCheckBox* Daily;
    QLabel* NextStart;

    // Takes the fields into the settings record (what OK does).
    void Apply();

private:
    void ShowNextStart();

    RecordingSettings& settings_;
};
