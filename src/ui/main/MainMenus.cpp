// The main window's menu bar: the View, Options and Help menus and their handlers.

#include "display/Graph.h"
#include "platform/Documents.h"
#include "ui/dialogs/AutomaticDialog.h"
#include "ui/dialogs/ScheduleDialog.h"
#include "ui/main/FileListHandlers.h"
#include "ui/main/main.h"

#include <QColorDialog>
#include <QMenuBar>

void TForm1::CreateMenus() {
    QMenuBar* bar = menuBar();
    menuFile = bar->addMenu("File");
    connect(menuFile, &QMenu::aboutToShow, this, [this] { menuFileClick(); });
    // The items act through the file list's handlers, which exist once the skins are there.
    const auto onFileList = [this](void (FileListHandlers::*handler)()) {
        return [this, handler] {
            if (FileListHandlers* handlers = FileList())
                (handlers->*handler)();
        };
    };
    menuSelectFolder = menuFile->addAction("Output Folder...", this,
                                           onFileList(&FileListHandlers::menuSelectFolderClick));
    menuRecentFolders = menuFile->addMenu("Recent Folders");
    void (FileListHandlers::*recent[])() = {
        &FileListHandlers::menuFolder1Click, &FileListHandlers::menuFolder2Click,
        &FileListHandlers::menuFolder3Click, &FileListHandlers::menuFolder4Click};
    for (std::size_t i = 0; i < menuFolders.size(); ++i)
        menuFolders[i] = menuRecentFolders->addAction("", this, onFileList(recent[i]));
    menuFile->addSeparator();
    menuRename =
        menuFile->addAction("Rename...", this, onFileList(&FileListHandlers::menuRenameClick));
    menuWav2MP3 = menuFile->addAction("Convrert to MP3", this,
                                      onFileList(&FileListHandlers::menuWav2MP3Click));
    menuFile->addSeparator();
    menuMove = menuFile->addAction("Move...", this, onFileList(&FileListHandlers::menuMoveClick));
    menuDelete =
        menuFile->addAction("Delete...", this, onFileList(&FileListHandlers::menuDeleteClick));
    menuFile->addSeparator();
    menuFile->addAction("Exit", this, [this] { menuExitClick(); });

    menuView = bar->addMenu("View");
    connect(menuView, &QMenu::aboutToShow, this, [this] { menuViewClick(); });
    menuClipDetect =
        menuView->addAction("Clipping Detection", this, [this] { menuClipDetectClick(); });
    menuClipDetect->setCheckable(true);
    menuView->addSeparator();
    menuSplit = menuView->addAction("Split Channels", this, [this] { menuSplitClick(); });
    menuSplit->setCheckable(true);
    menuView->addSeparator();
    menuLeftColor =
        menuView->addAction("Left Channel Color...", this, [this] { menuLeftColorClick(); });
    menuRightColor =
        menuView->addAction("Right Channel Color...", this, [this] { menuRightColorClick(); });
    menuBackColor =
        menuView->addAction("Background Color...", this, [this] { menuBackColorClick(); });
    menuView->addSeparator();
    menuLeftImage = menuView->addAction("Waveform Background Image... ", this,
                                        [this] { menuLeftImageClick(); });
    menuRightImage =
        menuView->addAction("Stream Background Image...", this, [this] { menuRightImageClick(); });

    menuOptions = bar->addMenu("Options");
    connect(menuOptions, &QMenu::aboutToShow, this, [this] { menuOptionsClick(); });
    menuRecControl =
        menuOptions->addAction("Recording Control...", this, [this] { menuRecControlClick(); });
    menuRecDevice =
        menuOptions->addAction("Recording Device...", this, [this] { menuRecDeviceClick(); });
    menuOptions->addSeparator();
    menuRecSettings =
        menuOptions->addAction("Format Settings...", this, [this] { menuRecSettingsClick(); });
    menuOptions->addSeparator();
    menuMarker = menuOptions->addAction("Add Marker\tF8", this, [this] { core_.AddMarker(); });
    menuSchedule =
        menuOptions->addAction("Scheduled Recording...", this, [this] { menuScheduleClick(); });
    menuAutomatic =
        menuOptions->addAction("Automatic Recording...", this, [this] { menuAutomaticClick(); });

    menuHelp = bar->addMenu("Help");
    menurHelpContents =
        menuHelp->addAction("Help Contents", this, [this] { menurHelpContentsClick(); });
    menuHelp->addSeparator();
    menuAbout = menuHelp->addAction("About", this, [this] { menuAboutClick(); });
}

void TForm1::menuViewClick() {
    menuSplit->setEnabled(core_.Settings.Channels != 1);
}

void TForm1::menuOptionsClick() {
    const bool idle = !core_.State().IsRecording;
    menuRecControl->setEnabled(idle);
    if (!core_.Flags.VistaMode)
        menuRecDevice->setEnabled(idle);
    menuRecSettings->setEnabled(idle);
    menuMarker->setEnabled(!idle);
    menuAutomatic->setEnabled(idle);
}

void TForm1::menuClipDetectClick() {
    core_.Settings.ClippingDetection = menuClipDetect->isChecked();
}

void TForm1::menuSplitClick() {
    core_.Settings.SplitChannels = menuSplit->isChecked();
    SetScreenScales(core_.Screens, core_.Settings);
}

void TForm1::ChooseColour(std::uint32_t& colour) {
    const QColor chosen = QColorDialog::getColor(ColourFromSetting(colour), this);
    if (chosen.isValid())
        colour = static_cast<std::uint32_t>(chosen.red()) |
                 static_cast<std::uint32_t>(chosen.green()) << 8 |
                 static_cast<std::uint32_t>(chosen.blue()) << 16;
}

void TForm1::menuLeftColorClick() {
    ChooseColour(core_.Settings.LeftColor);
}

void TForm1::menuRightColorClick() {
    ChooseColour(core_.Settings.RightColor);
}

void TForm1::menuBackColorClick() {
    ChooseColour(core_.Settings.BackgroundColor);
}

void TForm1::menuLeftImageClick() {
    core_.Flags.EditWaveImage = true;
    if (ShowBackgroundImage)
        ShowBackgroundImage();
}

void TForm1::menuRightImageClick() {
    core_.Flags.EditWaveImage = false;
    if (ShowBackgroundImage)
        ShowBackgroundImage();
}

void TForm1::menuAboutClick() {
    if (ShowAbout)
        ShowAbout();
}

void TForm1::menuRecControlClick() {
    core_.StartMixer(Recorder::MixerTrigger::ControlMenu);
}

void TForm1::menuRecDeviceClick() {
    core_.StartMixer(Recorder::MixerTrigger::DeviceMenu);
}

void TForm1::menuRecSettingsClick() {
    ChangeFormat();
}

void TForm1::menuScheduleClick() {
    ScheduleDialog(core_.Settings, this).exec();
}

void TForm1::menuAutomaticClick() {
    if (!core_.State().IsRecording && AutomaticDialog(core_.Settings, this).exec())
        core_.ArmVoice();
}

void TForm1::menurHelpContentsClick() {
    platform::OpenDocument(platform::ProgramFolder() + "/Sonvera.html");
}

void TForm1::menuExitClick() {
    close();
}
