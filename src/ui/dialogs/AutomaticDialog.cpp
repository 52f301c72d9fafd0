#include "ui/dialogs/AutomaticDialog.h"

#include "library/RecordNames.h"
#include "ui/common/OkCancel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>

namespace {

QSpinBox* MakeNumber(QWidget* parent, int value, int minimum, int maximum, const QString& unit) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setSuffix(unit);
    box->setValue(value);
    return box;
}

QSpinBox* MakeLimit(QWidget* parent, int value, int maximum, const QString& unit) {
    QSpinBox* box = MakeNumber(parent, value, 0, maximum, unit);
    box->setSpecialValueText("Off");
    return box;
}

} // namespace

AutomaticDialog::AutomaticDialog(RecordingSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle("Automatic Recording");
    auto* form = new QFormLayout(this);
    NameTemplate = new QLineEdit(QString::fromStdString(settings.NameTemplate), this);
    NameTemplate->setPlaceholderText("record%n");
    NameTemplate->setToolTip("%Y %m %d %H %M %S: the start's date and time, %n: the number");
    form->addRow("File names:", NameTemplate);
    NamePreview = new QLabel(this);
    form->addRow("Next name:", NamePreview);
    SplitMinutes = MakeLimit(this, settings.SplitMinutes, 24 * 60, " min");
    form->addRow("New file every:", SplitMinutes);
    SplitMegabytes = MakeLimit(this, settings.SplitMegabytes, 4000, " MB");
    form->addRow("New file at:", SplitMegabytes);
    VoiceMode = new QComboBox(this);
    VoiceMode->addItems(
        {"Off", "Start on sound, pause on silence", "Start on sound, a new file after silence"});
    VoiceMode->setCurrentIndex(std::clamp(settings.VoiceMode, 0, 2));
    form->addRow("Start on sound:", VoiceMode);
    VoiceThreshold = MakeNumber(this, settings.VoiceThreshold, -96, 0, " dBFS");
    form->addRow("Sound from:", VoiceThreshold);
    VoicePreRoll = MakeNumber(this, settings.VoicePreRoll, 0, 60000, " ms");
    form->addRow("Keep before the sound:", VoicePreRoll);
    VoiceHangTime = MakeNumber(this, settings.VoiceHangTime, 0, 3600000, " ms");
    form->addRow("Silence before pausing:", VoiceHangTime);
    AddOkCancel(this, form, [this] { Apply(); });
    connect(NameTemplate, &QLineEdit::textChanged, this, [this] { ShowNamePreview(); });
    ShowNamePreview();
}

void AutomaticDialog::Apply() {
    settings_.NameTemplate = NameTemplate->text().toStdString();
    settings_.SplitMinutes = SplitMinutes->value();
    settings_.SplitMegabytes = SplitMegabytes->value();
    settings_.VoiceMode = VoiceMode->currentIndex();
    settings_.VoiceThreshold = VoiceThreshold->value();
    settings_.VoicePreRoll = VoicePreRoll->value();
    settings_.VoiceHangTime = VoiceHangTime->value();
}

void AutomaticDialog::ShowNamePreview() {
    RecordingSettings shown = settings_;
    shown.NameTemplate = NameTemplate->text().toStdString();
    LibraryState library;
    MakeNextRecordFileName(shown, library, folderLook_);
    const std::string& path = library.CurrentFile;
    NamePreview->setText(QString::fromStdString(path.substr(path.rfind('/') + 1)));
}
