#pragma once
// The main window TForm1: the status strip, the two live screens, the file label, the two
// timers that drive the program, and its start, status monitor and end.

#include "audio/Bass.h"
#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "engine/global.h"
#include "library/Files.h"
#include "platform/HotKeys.h"
#include "platform/PulseWaveIn.h"
#include "ui/main/DeviceWatch.h"
#include "ui/main/Session.h"
#include "ui/main/Source.h"

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

class QLabel;
class QTimer;
class ScreenView;

class TForm1 : public QMainWindow,
               private SessionHost,
               private DeviceWatchHost,
               private BlockConsumer,
               private ScreenSurface {
public:
    // `settingsFile` is the settings file read at creation and written at close.
    explicit TForm1(std::string settingsFile);
    ~TForm1() override;

    // Program-wide state the main window owns and hands to the modules.
    RecordingSettings Settings;
    Session session{*this};
    DeviceWatchState Watch;
    RecordInputs Inputs;
    LibraryState Library;
    PulseWaveIn WaveDevice;
    CaptureRing Ring{WaveDevice};
    ConvertedBlock Block;
    WriterState Writers;
    ScreenState Screens;
    // The player's stream while a file plays from the main window (0: none).
    HSTREAM PlayerStream = 0;

    // Window flags.
    bool VistaMode = true; // the Linux sound server behaves as the newer family
    bool Minimized = false;
    bool BlinkPhase = false;
    const QString BaseTitle = "Sonvera";
    QString StatusText;
    int ScreenPPI = 0;
    // The text the taskbar shows while the window is minimised.
    QString ApplicationTitle = "Sonvera";

    // Set when the program is to start again once this instance has ended.
    bool RestartRequested = false;

    void StartRecording() { session.StartRecording(); }
    void PauseResume() { session.PauseResume(); }
    void RestartRecording() { session.RestartRecording(); }
    void StopAll() { session.StopAll(); }
    void TimerRecTimer();
    void UpdateStatus();
    void UpdateFormatLabel();
    void ChangeFormat();
    void ApplyWindowHeight();
    void ToggleFileList();
    // Closes the window as its close box does, without the question (SIGTERM, SIGINT, restart).
    void CloseWithoutAsking();

    // Controls, named as the handlers and the other windows know them.
    QLabel* ImageStatus;
    QLabel* LabSource;
    QLabel* ImageFormat;
    QLabel* LabFormat;
    QLabel* LabStatus0;
    QLabel* LabStatus;
    QLabel* LabTime0;
    QLabel* LabTime;
    QLabel* ImageScreen1;
    QLabel* ImageScreen2;
    ScreenView* WaveScreen;
    ScreenView* StreamScreen;
    QLabel* ImageControlRecord;
    QLabel* ImageFolder;
    QLabel* LabFile;
    QLabel* ImageList;
    QTimer* TimerRec;
    QTimer* TimerStatus;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void RegisterHotKeys();
    void HotKeyPressed(int id);
    void OpenCapture();
    double PlayerPositionSeconds();
    // An error box: the application's title as caption, an error icon, a full stop added.
    void ShowError(const std::string& text);
    void ShowWriterMessage(const MaybeMessage& message);

    // BlockConsumer
    void DrawBlock(const ConvertedBlock& block) override;
    void WriteBlock(const ConvertedBlock& block) override;
    // ScreenSurface
    void ShowScreen(const QImage& bitmap, QPoint at) override;

    // SessionHost
    int CaptureDeviceCount() override;
    bool OutputFolderOnCdrom() override;
    void ShowMessage(const std::string& text) override;
    void ProcessPendingEvents() override;
    std::uint32_t TickCount() override;
    void PickNextRecordFile() override;
    bool StartWriters() override;
    void StopWriters() override;
    void DeleteCurrentFile() override;
    void RescanAndSort() override;
    void ClearStatusText() override;
    void StopCapture() override;
    void StartCapture() override;
    void PausePlayer() override;
    void ResumePlayer() override;
    void StopPlayer() override;

    // DeviceWatchHost
    bool IsRecording() override { return session.state.IsRecording; }
    std::vector<std::string> ListCaptureDevices() override;
    std::string CurrentDeviceName() override;
    void CloseCapture() override;
    void ClearScreens() override;
    void InitSource() override;
    void ReadInputLevel0() override;
    void RestartProgram() override;
    void ScanInputs() override;
    std::string ReadDeviceName0() override;
    void ReopenCapture(const std::string& name) override;
    std::string SelectedInputName() override;

    const std::string settingsFile;
    platform::HotKeys hotKeys;
    bool askBeforeClosing = true;
    bool shown = false;
    bool created = false; // creation ran to its end (the output folder was usable)
    HPLUGIN wmaPlugin = 0;
};
