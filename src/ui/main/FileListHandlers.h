#pragma once
// The main window's file list handlers: the grid's events, the File menu's and the popup menu's
// file items, the folder picture and label. The behaviour is FileOperations'; this class asks its
// questions with the program's dialogs and keeps the grid in step with the list.

#include "library/FileOperations.h"
#include "ui/main/FileGrid.h"

#include <QPoint>
#include <functional>

class QWidget;

class FileListHandlers : private FileQuestions {
public:
    // `calls` come from the main window: PlayCurrentFile, StopAll, StopPlayer, Convert and,
    // if it wants, CurrentFileChanged. RescanAndSort and ProcessPendingEvents are filled in
    // here when left empty. Dialogs and messages are owned by `dialogParent`.
    FileListHandlers(FileGridView& grid, LibraryState& library, RecordingSettings& settings,
                     const SessionState& session, FileListCalls calls, QWidget* dialogParent);

    FileOperations Operations;
    // The grid row under the pointer at the last mouse button release.
    int LastClickedRow = -1;
    // Opens the popup menu at a screen point with the state just computed; set by the window
    // that builds the menu.
    std::function<void(const PopupMenuState& state, QPoint globalPosition)> ShowPopup;

    // The busy cursor while the output folder is scanned, then the sort and the new rows.
    void RescanAndSort();
    // `job` on a thread of its own, under the busy cursor, while the window's events run.
    void RunAside(const std::function<void()>& job);

    void SGridFilesSelectCell(int row);
    PopupMenuState SGridFilesClick();
    void SGridFilesDblClick();
    void SGridFilesKeyDown(int key);
    void SGridFilesMouseUp(QPoint position, Qt::MouseButton button);

    FileMenuState menuFileClick();
    void menuSelectFolderClick() { Operations.ChooseOutputFolder(); }
    void ImageFolderClick() { Operations.ChooseOutputFolder(); }
    void LabFileClick() { Operations.ChooseOutputFolder(); }
    void menuFolder1Click() { Operations.ChooseRecentFolder(1); }
    void menuFolder2Click() { Operations.ChooseRecentFolder(2); }
    void menuFolder3Click() { Operations.ChooseRecentFolder(3); }
    void menuFolder4Click() { Operations.ChooseRecentFolder(4); }
    void menuRenameClick() { Operations.Rename(); }
    void pmenuRenameClick() { Operations.Rename(); }
    void menuDeleteClick() { Operations.Delete(); }
    void pmenuDeleteClick() { Operations.Delete(); }
    void menuWav2MP3Click() { Operations.ConvertToMp3(); }
    void pmenuWav2Mp3Click() { Operations.ConvertToMp3(); }
    void menuMoveClick() { Operations.Move(); }
    void pmenuMoveClick() { Operations.Move(); }
    void pmenuPlayClick() { Operations.PlayCurrent(); }
    void pmenuStopClick() { Operations.StopPlayback(); }

private:
    // FileQuestions, with the program's dialogs.
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskNewName(const std::string& initial) override;
    std::optional<std::string> AskSavePath(const std::string& initial) override;
    std::optional<std::string> PickFolder(const std::string& start) override;
    void ShowMessage(const std::string& text) override;

    FileGridView& grid;
    LibraryState& library;
    RecordingSettings& settings;
    QWidget* dialogParent;
};
