// How the main window meets the engine, the library, the screens and the audio library: the
// session's and the device watch's requests, and where each captured block goes.

#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "library/RecordNames.h"
#include "platform/DriveType.h"
#include "platform/Tick.h"
#include "ui/main/ScreenView.h"
#include "ui/main/main.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <span>

int TForm1::CaptureDeviceCount() {
    return static_cast<int>(WaveDevice.GetNumDevs());
}

bool TForm1::OutputFolderOnCdrom() {
    return platform::IsOnCdrom(Settings.OutputFolder);
}

void TForm1::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, BaseTitle, QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

void TForm1::ShowError(const std::string& text) {
    QMessageBox::critical(this, BaseTitle, QString::fromStdString(text) + ".");
}

void TForm1::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

std::uint32_t TForm1::TickCount() {
    return platform::GetTickCount();
}

void TForm1::PickNextRecordFile() {
    MakeNextRecordFileName(Settings, Library);
}

bool TForm1::StartWriters() {
    // Every number taken or no format: never overwrite a recording.
    if (Library.CurrentFile.empty())
        return false;
    Writers.NextFileName = [this] {
        MakeNextRecordFileName(Settings, Library);
        return Library.CurrentFile;
    };
    const StartResult result =
        ::StartWriters(Writers, Settings, Library.CurrentFile, Ring.IsOpen());
    ShowWriterMessage(result.Message);
    return result.Started;
}

void TForm1::StopWriters() {
    // This window still rescans right after the stop, so it waits for the files here.
    ::StopWriters(Writers);
    ::FinishAllWriters(Writers);
    ShowWriterMessage(PollWriters(Writers).Message);
}

void TForm1::ShowWriterMessage(const MaybeMessage& message) {
    if (message && message->kind == UserMessage::Kind::Error)
        ShowError(message->text);
    else if (message)
        ShowMessage(message->text);
}

void TForm1::DeleteCurrentFile() {
    std::error_code ignored;
    std::filesystem::remove(Library.CurrentFile, ignored);
}

void TForm1::RescanAndSort() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ScanOutputFolder(Settings.OutputFolder, Library);
    QApplication::restoreOverrideCursor();
    SortFileList(Settings.Sort, Library.CurrentFile, Library);
}

void TForm1::ClearStatusText() {
    StatusText.clear();
    LabStatus->clear();
    LabStatus0->clear();
}

void TForm1::StopCapture() {
    Ring.StopCapture();
}

void TForm1::StartCapture() {
    Ring.StartCapture();
}

void TForm1::PausePlayer() {
    BASS_ChannelPause(PlayerStream);
}

void TForm1::ResumePlayer() {
    BASS_ChannelPlay(PlayerStream, 0);
}

void TForm1::StopPlayer() {
    BASS_ChannelStop(PlayerStream);
    BASS_StreamFree(PlayerStream);
    PlayerStream = 0;
}

double TForm1::PlayerPositionSeconds() {
    return BASS_ChannelBytes2Seconds(PlayerStream,
                                     BASS_ChannelGetPosition(PlayerStream, BASS_POS_BYTE));
}

std::vector<std::string> TForm1::ListCaptureDevices() {
    Ring.ListCaptureDevices();
    return Ring.DeviceNames();
}

std::string TForm1::CurrentDeviceName() {
    return Ring.CurrentDeviceName();
}

void TForm1::CloseCapture() {
    Ring.CloseCapture();
}

void TForm1::ClearScreens() {
    ::ClearScreens(Screens, Settings, Block);
}

void TForm1::OpenCapture() {
    const OpenResult result = Ring.OpenCapture(Settings);
    if (result.Outcome == OpenOutcome::Failed)
        ShowMessage(result.ErrorText);
    if (result.Outcome == OpenOutcome::Opened)
        SetScreenScales(Screens, Settings);
}

void TForm1::InitSource() {
    Ring.ReadCurrentDeviceName();
    Watch.KnownDeviceName = Ring.CurrentDeviceName();
    BASS_RecordFree();
    OpenCapture();
    BASS_RecordInit(0);
    ::ScanInputs(Inputs, false);
    SwitchInputsOn(Inputs);
    Ring.ListCaptureDevices();
}

void TForm1::ReadInputLevel0() {
    BASS_RecordGetInput(0, &Inputs.InputLevel);
}

void TForm1::RestartProgram() {
    TimerStatus->stop();
    RestartRequested = true;
    // A running recording is finished and the settings written, as closing the window does.
    CloseWithoutAsking();
}

void TForm1::ScanInputs() {
    ::ScanInputs(Inputs, true);
}

std::string TForm1::ReadDeviceName0() {
    Ring.ReadCurrentDeviceName();
    return Ring.CurrentDeviceName();
}

void TForm1::ReopenCapture(const std::string& name) {
    Ring.CloseCapture();
    BASS_RecordFree();
    ClearScreens();
    OpenCapture();
    const int device = Ring.FindCaptureDevice(name);
    BASS_RecordSetDevice(static_cast<DWORD>(device));
    BASS_RecordInit(device);
}

std::string TForm1::SelectedInputName() {
    return ::SelectedInputName(Inputs);
}

void TForm1::DrawBlock(const ConvertedBlock& block) {
    DrawScreens(Screens, Settings, block);
}

void TForm1::WriteBlock(const ConvertedBlock& block) {
    const MaybeMessage failure =
        ::WriteBlock(Writers, std::span(block.OutputBlock.data(), block.OutputBytes));
    // A WAV recording that outgrew its file goes on in the next one.
    Library.CurrentFile = Writers.CurrentFile;
    ShowWriterMessage(failure);
}

void TForm1::ShowScreen(const QImage& bitmap, QPoint at) {
    ScreenView* view = at == Screens.WavePosition ? WaveScreen : StreamScreen;
    view->SetImage(&bitmap);
}
