#include "ui/dialogs/ScheduleDialog.h"

#include "app/Schedule.h"
#include "ui/common/OkCancel.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLabel>
#include <algorithm>

namespace {

constexpr const char* StartAtFormat = "yyyy-MM-dd HH:mm:ss";

} // namespace

ScheduleDialog::ScheduleDialog(RecordingSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle("Scheduled Recording");
    auto* form = new QFormLayout(this);
    Enabled = new QCheckBox("Start a recording at a set time", this);
    Enabled->setChecked(settings.ScheduleEnabled);
    form->addRow(Enabled);
    StartAt = new QDateTimeEdit(this);
    StartAt->setDisplayFormat(StartAtFormat);
    const QDateTime stored =
        QDateTime::fromString(QString::fromStdString(settings.ScheduleStartAt), StartAtFormat);
    // Without a stored time, the start of the next full minute.
    const QDateTime now = QDateTime::currentDateTime();
    StartAt->setDateTime(stored.isValid()
                             ? stored
                             : now.addSecs(60 - now.time().second()).addMSecs(-now.time().msec()));
    form->addRow("Start at:", StartAt);
    Duration = new QTimeEdit(this);
    Duration->setDisplayFormat("HH:mm:ss");
    Duration->setTime(QTime(0, 0).addSecs(std::clamp(settings.ScheduleDuration, 0, 86399)));
    form->addRow("Length (00:00:00: until stopped):", Duration);
    Daily = new QCheckBox("Every day", this);
    Daily->setChecked(settings.ScheduleDaily);
    form->addRow(Daily);
    NextStart = new QLabel(this);
    form->addRow(NextStart);
    AddOkCancel(this, form, [this] { Apply(); });
    connect(Enabled, &QCheckBox::toggled, this, [this] { ShowNextStart(); });
    connect(Daily, &QCheckBox::toggled, this, [this] { ShowNextStart(); });
    connect(StartAt, &QDateTimeEdit::dateTimeChanged, this, [this] { ShowNextStart(); });
    ShowNextStart();
}

void ScheduleDialog::Apply() {
    settings_.ScheduleEnabled = Enabled->isChecked();
    settings_.ScheduleStartAt = StartAt->dateTime().toString(StartAtFormat).toStdString();
    settings_.ScheduleDuration = QTime(0, 0).secsTo(Duration->time());
    settings_.ScheduleDaily = Daily->isChecked();
    // A daily time already past today means tomorrow's.
    const auto now = std::chrono::system_clock::now();
    if (settings_.ScheduleDaily && CheckSchedule(settings_, now).State == ScheduleState::Missed)
        AdvanceSchedule(settings_, now);
}

void ScheduleDialog::ShowNextStart() {
    RecordingSettings shown = settings_;
    shown.ScheduleEnabled = Enabled->isChecked();
    shown.ScheduleStartAt = StartAt->dateTime().toString(StartAtFormat).toStdString();
    shown.ScheduleDaily = Daily->isChecked();
    const auto now = std::chrono::system_clock::now();
    ScheduleCheck check = CheckSchedule(shown, now);
    if (check.State == ScheduleState::Missed && shown.ScheduleDaily) {
        AdvanceSchedule(shown, now);
        check = CheckSchedule(shown, now);
    }
    QString text = "Not scheduled";
    if (check.State == ScheduleState::Waiting || check.State == ScheduleState::Due)
        text = "Next start: " + QString::fromStdString(FormatStartAt(check.Start));
    else if (check.State == ScheduleState::Missed)
        text = "That time has passed";
    NextStart->setText(text);
}
