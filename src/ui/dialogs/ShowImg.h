#pragma once
// TFormShowImage: picks or clears the picture behind the waveform screen or the stream screen,
// whichever the View menu chose before showing it. Choices take effect at once.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
struct RecordingSettings;
struct ScreenState;

class TFormShowImage : public QDialog {
public:
    // `editWaveImage` is read at every show: true for the waveform screen, false for the stream
    // screen. The settings record gets the path (Image1, Image2); the screens the picture.
    TFormShowImage(QWidget* parent, RecordingSettings& settings, ScreenState& screens,
                   const bool& editWaveImage);

    // The open-file dialog's filter, one entry whose description is its own pattern list.
    static const QString Filter;

    QLabel* Lab1;
    QPushButton* BtnBrowse;
    QPushButton* BtnClear;
    QPushButton* BtnOK;

    void FormShow();
    void BtnBrowseClick();
    void BtnClearClick();
    void BtnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    RecordingSettings& settings;
    ScreenState& screens;
    const bool& editWaveImage;
};
