#pragma once
// The main window TForm1: the status strip, the two live screens, the file label, the two
// timers that drive the program, and its start, status monitor and end. The program's state is
// the core_'s (Recorder); the window holds its controls and their handlers.

#include "app/HotKeyIds.h"
#include "app/Recorder.h"
#include "app/RecorderWindow.h"
#include "app/StatusMonitor.h"
#include "display/Graph.h"
#include "platform/ControlBus.h"
#include "platform/GlobalShortcuts.h"
#include "platform/HotKeys.h"
#include "platform/SleepInhibitor.h"
#include "ui/common/BusyCursor.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class PictureView;
class MouseLabel;
class FileGridView;
class FileListHandlers;
class PMenu;
class PictureButton;
class TForm2;
class QMouseEvent;
class QShortcut;

class TForm1 : public QMainWindow, private RecorderWindow, private ScreenSurface {
public:
    // `settingsFile` is the settings file read at creation and written at close; the tick is the
    // system clock unless a test hands in its own.
    // `device` is the capture backend the program records from.
    TForm1(std::string settingsFile, std::unique_ptr<WaveIn> device,
           Recorder::TickSource tick = {});
    ~TForm1() override;

    Recorder& Core() { return core_; }
    const StatusMonitor& Status() const { return monitor_; }

    void TimerRecTimer();
    void UpdateStatus();
    void UpdateFormatLabel();
    void ChangeFormat();
    void ApplyWindowHeight();
    void ToggleFileList();
    // Closes the window as its close box does, without the question (SIGTERM, SIGINT, restart).
    void CloseWithoutAsking();

    // Controls, named as the handlers and the other windows know them.
    MouseLabel* ImageStatus;
    MouseLabel* LabSource;
    MouseLabel* ImageFormat;
    MouseLabel* LabFormat;
    QLabel* LabStatus0;
    QLabel* LabStatus;
    QLabel* LabTime0;
    QLabel* LabTime;
    MouseLabel* ImageScreen1;
    MouseLabel* ImageScreen2;
    PictureView* WaveScreen;
    PictureView* StreamScreen;
    MouseLabel* ImageControlRecord;
    QLabel* ImageVolBar;
    MouseLabel* ImageVol;
    MouseLabel* ImageFolder;
    MouseLabel* LabFile;
    QLabel* ImageList;
    FileGridView* SGridFiles = nullptr;
    PMenu* PopupMenu;
    QTimer* TimerRec;
    QTimer* TimerStatus;

    // The menu bar MainMenu1.
    QMenu* menuFile;
    QAction* menuSelectFolder;
    QMenu* menuRecentFolders;
    std::array<QAction*, 4> menuFolders;
    QAction* menuRename;
    QAction* menuWav2MP3;
    QAction* menuMove;
    QAction* menuDelete;
    QMenu* menuView;
    QAction* menuClipDetect;
    QAction* menuSplit;
    QAction* menuLeftColor;
    QAction* menuRightColor;
    QAction* menuBackColor;
    QAction* menuLeftImage;
    QAction* menuRightImage;
    QMenu* menuOptions;
    QAction* menuRecControl;
    QAction* menuRecDevice;
    QAction* menuRecSettings;
    QAction* menuMarker;
    QAction* menuSchedule;
    QAction* menuAutomatic;
    QMenu* menuHelp;
    QAction* menurHelpContents;
    QAction* menuAbout;

    // The transport row's image buttons.
    PictureButton* ImageControl;
    PictureButton* ImageRecord;
    PictureButton* ImageRestart;
    PictureButton* ImagePause;
    PictureButton* ImageStop;
    PictureButton* ImagePlay;
    PictureButton* ImageFiles;

    // Takes the pictures of the skin holder: the buttons', the knob's and the format icons.
    void SetSkins(const TForm2& skins);
    // The background image dialog and the About box, shown modally.
    std::function<void()> ShowBackgroundImage;
    std::function<void()> ShowAbout;
    // Cancels a running conversion (its partial file is deleted), so the program can close.
    std::function<void()> CancelConversion;
    // Converts a WAV file to MP3 in the converter window; false when cancelled.
    std::function<bool(const std::string& source, const std::string& target)> ConvertFile;
    // Shows the format settings dialog; false when the program is ending instead.
    std::function<bool()> ShowFormatSettings;
    // What the play button and the popup's Play run (the player's PlayCurrentFile).
    std::function<void()> PlayCurrentFile;
    // Every button back to its normal picture, once the mouse left the row.
    void ResetButtonImages();

    // The level knob.
    void ImageVolMouseDown(QMouseEvent* event);
    void ImageVolMouseMove(QMouseEvent* event);
    void ImageVolMouseUp(QMouseEvent* event);
    void ImageControlRecordMouseMove(QMouseEvent* event);
    void LabSourceClick();
    // Puts the knob where the input's level is.
    void PlaceLevelKnob();
    // The knob's left edge at `x`, the bar up to it.
    void MoveLevelKnob(int x);

    // The file list's handlers, made with the grid once the pictures are there.
    FileListHandlers* FileList() { return fileList_.get(); }

    // Menu handlers.
    void menuFileClick();
    void menuViewClick();
    void menuOptionsClick();
    void menuClipDetectClick();
    void menuSplitClick();
    void menuLeftColorClick();
    void menuRightColorClick();
    void menuBackColorClick();
    void menuLeftImageClick();
    void menuRightImageClick();
    void menuAboutClick();
    void menuRecControlClick();
    void menuRecDeviceClick();
    void menuRecSettingsClick();
    void menuScheduleClick();
    void menuAutomaticClick();
    void menurHelpContentsClick();
    void menuExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    void CreateButtons(QWidget* client);
    void CreateFileList(const TForm2& skins);
    void CreatePopupMenu();
    void ButtonMouseMove(PictureButton* button);
    void ButtonMouseUp(PictureButton* button);
    void CreateMenus();
    // The colour dialog preset with `colour`, which takes the choice on OK.
    void ChooseColour(std::uint32_t& colour);
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void RegisterHotKeys();
    void HotKeyPressed(int id);
    // The desktop's side (DesktopLink.cpp): the session-bus interface, the portal's global
    // keys, the sleep lock while recording.
    void StartDesktopLink();
    void PublishDesktopState();
    void AddWindowKey(int id, const QKeySequence& key);
    void BindPortalKeys();
    void PortalKeysBound(const std::map<QString, QString>& triggers);
    // Names `key` in the hint of the action's button, or in its menu item (the marker).
    void ShowKey(const HotKeyName& name, const QString& key);
    void PortalKeyPressed(const QString& shortcutId);
    platform::ControlState DesktopState();
    void TellNoGlobalKeys();
    void LabFormatClick();
    // LabFile's text, between the status ticks that also set its colour.
    void ShowCurrentFile();

    // RecorderWindow
    void ShowMessage(const UserMessage& message) override;
    void ProcessPendingEvents() override;
    void RunLater(std::function<void()> call) override;
    void ClearStatusText() override;
    void ShowBusy(bool busy) override;
    void FileListChanged() override;
    void FileListCellsChanged() override;
    void RestartProgram() override;
    // ScreenSurface
    void ShowScreen(const QImage& bitmap, QPoint at) override;

    Recorder core_;
    StatusMonitor monitor_;
    QString sourceText_; // the source label's text before it was cut to its width
    platform::HotKeys hotKeys_;
    std::map<int, QShortcut*> windowKeys_; // where no global key stands in
    platform::GlobalShortcuts portalKeys_;
    platform::ControlBus controlBus_;
    platform::SleepInhibitor sleepInhibitor_;
    const TForm2* skins_ = nullptr;
    std::unique_ptr<FileListHandlers> fileList_;
    int ScreenPPI = 0;
    bool LevelDragging = false;
    int DragStartX = 0;
    bool askBeforeClosing_ = true;
    bool shown_ = false;
    std::optional<BusyCursor> busy_;
};
