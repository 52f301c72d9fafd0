#include "ui/dialogs/ShowImg.h"

#include "display/BackgroundImage.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PlainText.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

const QString TFormShowImage::Filter = "*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                                       "*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf ";

namespace {

// "description|patterns" as the file dialog writes it: "description (pattern pattern)".
QString FileDialogFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    return parts[0] + " (" + QString(parts[1]).replace(';', ' ') + ")";
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, 65, 25);
    return button;
}

} // namespace

TFormShowImage::TFormShowImage(QWidget* parent, RecordingSettings& settings, ScreenState& screens,
                               const bool& editWaveImage)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings(settings), screens(screens), editWaveImage(editWaveImage) {
    setWindowTitle("Show Background Image");
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(233, 192);

    Lab1 = new QLabel(this);
    Lab1->move(32, 20);
    BtnBrowse = MakeButton(this, "Browse", 22, 48);
    BtnClear = MakeButton(this, "Clear", 124, 48);
    BtnOK = MakeButton(this, "OK", 74, 102);
    BtnOK->setDefault(true);

    connect(BtnBrowse, &QPushButton::clicked, this, [this] { BtnBrowseClick(); });
    connect(BtnClear, &QPushButton::clicked, this, [this] { BtnClearClick(); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
}

void TFormShowImage::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormShowImage::FormShow() {
    const QString caption = editWaveImage ? "Waveform Background Image" : "Stream Background Image";
    setWindowTitle(caption);
    Lab1->setText(caption);
    Lab1->adjustSize();
}

void TFormShowImage::BtnBrowseClick() {
    // Made when it opens: a file dialog lists its folder from the moment it exists, and the
    // program could not end while a file of a stalled mount holds that listing.
    QFileDialog OpenDialog1(this);
    OpenDialog1.setFileMode(QFileDialog::ExistingFile);
    OpenDialog1.setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1.setNameFilter(FileDialogFilter(Filter));
    if (OpenDialog1.exec() != QDialog::Accepted || OpenDialog1.selectedFiles().isEmpty())
        return;
    const std::string fileName = OpenDialog1.selectedFiles().first().toStdString();
    if (const MaybeMessage message =
            ChooseBackgroundImage(settings, screens, editWaveImage, fileName))
        ShowErrorBox(this, ShownText(message->text));
}

void TFormShowImage::BtnClearClick() {
    ClearBackgroundImage(settings, screens, editWaveImage);
}

void TFormShowImage::BtnOKClick() {
    // Nothing to undo: every choice took effect when it was made.
    accept();
}
