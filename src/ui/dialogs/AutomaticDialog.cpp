#include "ui/dialogs/AutomaticDialog.h"

#include "library/RecordNames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

QSpinBox* MakeLimit(QWidget* parent, int value, int maximum, const QString& unit) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, maximum);
    box->setSpecialValueText("Off");
    box->setSuffix(unit);
    box->setValue(value);
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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(NameTemplate, &QLineEdit::textChanged, this, [this] { ShowNamePreview(); });
    ShowNamePreview();
}

void AutomaticDialog::Apply() {
    settings_.NameTemplate = NameTemplate->text().toStdString();
    settings_.SplitMinutes = SplitMinutes->value();
    settings_.SplitMegabytes = SplitMegabytes->value();
}

void AutomaticDialog::ShowNamePreview() {
    RecordingSettings shown = settings_;
    shown.NameTemplate = NameTemplate->text().toStdString();
    LibraryState library;
    MakeNextRecordFileName(shown, library);
    const std::string& path = library.CurrentFile;
    NamePreview->setText(QString::fromStdString(path.substr(path.rfind('/') + 1)));
}
