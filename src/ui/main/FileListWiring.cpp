// The main window's file list: the grid and its handlers, the File menu that opens on them, and
// the popup menu of the grid and the format icon.

#include "ui/common/MouseLabel.h"
#include "ui/common/PlainText.h"
#include "ui/main/FileGrid.h"
#include "ui/main/FileListHandlers.h"
#include "ui/main/Images.h"
#include "ui/main/PopupMenu.h"
#include "ui/main/main.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

void TForm1::CreateFileList(const TForm2& skins) {
    FileGridPictures pictures{skins.ImageUp, skins.ImageDown, skins.ListIcons};
    SGridFiles =
        new FileGridView(centralWidget(), core_.Library, core_.Settings.Sort, std::move(pictures));
    SGridFiles->setGeometry(14, 263, 519, 253);
    SGridFiles->OnMouseMove = [this] { ResetButtonImages(); };
    SGridFiles->show();

    FileListCalls calls;
    calls.RescanAndSort = [this] { core_.RescanAndSort(); };
    calls.PlayCurrentFile = [this] {
        if (PlayCurrentFile)
            PlayCurrentFile();
    };
    calls.StopAll = [this] { core_.session.StopAll(); };
    calls.StopPlayer = [this] { core_.Player.StopAndFree(); };
    calls.Convert = [this](const std::string& source, const std::string& target) {
        return ConvertFile && ConvertFile(source, target);
    };
    // The label follows a new current file at once, not at the next status tick.
    calls.CurrentFileChanged = [this] { ShowCurrentFile(); };
    fileList_ = std::make_unique<FileListHandlers>(*SGridFiles, core_.Library, core_.Settings,
                                                   core_.State(), std::move(calls), this);
    fileList_->ShowPopup = [this](const PopupMenuState& state, QPoint at) {
        PopupMenu->SetEnabled(PopupItem::Play, state.Play);
        PopupMenu->SetEnabled(PopupItem::Stop, state.Stop);
        PopupMenu->SetEnabled(PopupItem::Rename, state.Rename);
        PopupMenu->SetEnabled(PopupItem::Wav2Mp3, state.Convert);
        PopupMenu->SetVisible(PopupItem::Wav2Mp3, state.ConvertVisible);
        PopupMenu->SetCaption(PopupItem::Wav2Mp3, QString::fromStdString(state.ConvertCaption));
        PopupMenu->SetEnabled(PopupItem::Move, state.Move);
        PopupMenu->SetEnabled(PopupItem::Delete, state.Delete);
        PopupMenu->popup(at);
    };
    ImageFormat->OnMouseUp = [this](QMouseEvent* event) {
        if (event->button() == Qt::RightButton)
            fileList_->ShowPopup(fileList_->SGridFilesClick(), QCursor::pos());
    };
    for (MouseLabel* opener : {ImageFolder, LabFile})
        opener->OnClick = [this] { fileList_->LabFileClick(); };
    SGridFiles->Refresh();
}

void TForm1::CreatePopupMenu() {
    PopupMenu = new PMenu(this);
    PopupMenu->Facts = [this] {
        const RecordingSettings& s = core_.Settings;
        return PopupItemFacts{core_.State().IsRecording,     core_.State().IsPlaying,
                              core_.Library.CurrentFile,     s.VBR,
                              static_cast<int>(s.BitRate),   static_cast<int>(s.MinBitRate),
                              static_cast<int>(s.MaxBitRate)};
    };
    // Nothing runs while a recording does, whatever the menu showed when it opened.
    const auto unlessRecording = [this](void (FileListHandlers::*handler)()) {
        return [this, handler] {
            if (fileList_ && !core_.State().IsRecording)
                (fileList_.get()->*handler)();
        };
    };
    PopupMenu->SetClick(PopupItem::Play, unlessRecording(&FileListHandlers::pmenuPlayClick));
    PopupMenu->SetClick(PopupItem::Stop, unlessRecording(&FileListHandlers::pmenuStopClick));
    PopupMenu->SetClick(PopupItem::Rename, unlessRecording(&FileListHandlers::pmenuRenameClick));
    PopupMenu->SetClick(PopupItem::Wav2Mp3, unlessRecording(&FileListHandlers::pmenuWav2Mp3Click));
    PopupMenu->SetClick(PopupItem::Move, unlessRecording(&FileListHandlers::pmenuMoveClick));
    PopupMenu->SetClick(PopupItem::Delete, unlessRecording(&FileListHandlers::pmenuDeleteClick));
}

void TForm1::menuFileClick() {
    if (!fileList_)
        return;
    const FileMenuState state = fileList_->menuFileClick();
    menuSelectFolder->setEnabled(state.SelectFolder);
    menuRecentFolders->setEnabled(state.RecentFolders);
    for (std::size_t i = 0; i < menuFolders.size(); ++i) {
        const std::string& caption = core_.Library.RecentCaptions[i];
        menuFolders[i]->setText(MenuCaption(caption));
        menuFolders[i]->setVisible(!caption.empty());
    }
    menuRename->setEnabled(state.Rename);
    menuWav2MP3->setEnabled(state.Convert);
    menuWav2MP3->setText(QString::fromStdString(state.ConvertCaption));
    menuMove->setEnabled(state.Move);
    menuDelete->setEnabled(state.Delete);
}

void TForm1::FileListChanged() {
    if (SGridFiles)
        SGridFiles->Refresh();
}

void TForm1::FileListCellsChanged() {
    if (SGridFiles)
        SGridFiles->viewport()->update();
}
