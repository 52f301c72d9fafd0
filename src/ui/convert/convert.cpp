#include "ui/convert/convert.h"

#include "library/Mp3Conversion.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PlainText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

namespace {

QString FileNameOf(const std::string& path) {
    return ShownText(std::filesystem::path(path).filename().string());
}

} // namespace

TFormConvert::TFormConvert(const RecordingSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      settings(settings) {
    setWindowTitle("Converting WAV to MP3");
    setFixedSize(319, 137);
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);

    LabSource = new QLabel("Source:", this);
    LabSource->move(6, 6);
    LabTarget = new QLabel("Target:", this);
    LabTarget->move(6, 24);
    Label1 = new QLabel("Converting... ", this);
    Label1->move(6, 46);
    for (QLabel* label : {LabSource, LabTarget, Label1})
        PlainLabel(label)->resize(307, 14);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(6, 60, 307, 21);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setGeometry(122, 102, 65, 23);
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
}

void TFormConvert::FormShow() {
    LabSource->setText("Source: " + FileNameOf(SourcePath));
    LabTarget->setText("Target:  " + FileNameOf(TargetPath));
}

void TFormConvert::BtnCancelClick() {
    converting = false;
    close();
}

bool TFormConvert::FormCloseQuery() {
    return !converting;
}

void TFormConvert::showEvent(QShowEvent* event) {
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    FormShow();
    QWidget::showEvent(event);
}

void TFormConvert::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TFormConvert::WaitForEncoder() {
    QEventLoop wait;
    QTimer::singleShot(2, &wait, &QEventLoop::quit);
    wait.exec();
}

bool TFormConvert::Convert(const std::string& source, const std::string& target, std::uint32_t rate,
                           std::uint32_t channels) {
    // The events let through below could start a second conversion.
    if (converting)
        return false;
    SourcePath = source;
    TargetPath = target;
    SourceRate = rate;
    SourceChannels = channels;
    FormShow();
    bool completed = false;
    MaybeMessage failure;
    if (!SourcePath.empty()) {
        converting = true;
        Mp3Conversion conversion(settings, SourcePath, TargetPath, SourceRate, SourceChannels);
        if (!conversion.EncoderStarted())
            ShowMessageBox(this, "Could not start encoding");
        while (conversion.Active()) {
            conversion.Step();
            QCoreApplication::processEvents();
            while (converting && conversion.EncoderBehind())
                WaitForEncoder();
            if (!converting)
                break;
            const int percent = conversion.Percent();
            ProgressBar1->setValue(percent);
            Label1->setText("Converting file ..." + QString::number(percent) + "%");
        }
        completed = conversion.Finish(converting);
        failure = conversion.Failure();
    }
    converting = false;
    close();
    // Shown once the window is gone, so the box is not held behind a window kept on top.
    if (failure)
        ShowMessageBox(parentWidget(), QString::fromStdString(failure->text));
    return completed;
}
