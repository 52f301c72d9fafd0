#include "ui/main/FileListHandlers.h"

#include "library/Durations.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "ui/common/BusyCursor.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PlainText.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QTimer>
#include <atomic>
#include <thread>

FileListHandlers::FileListHandlers(FileGridView& grid, LibraryState& library,
                                   RecordingSettings& settings, const SessionState& session,
                                   FileListCalls calls, QWidget* dialogParent)
    : Operations(library, settings, session, *this, std::move(calls)), grid(grid), library(library),
      settings(settings), dialogParent(dialogParent) {
    FileListCalls& wired = Operations.Calls;
    if (!wired.RescanAndSort) {
        wired.RescanAndSort = [this] { RescanAndSort(); };
    }
    if (!wired.ProcessPendingEvents) {
        wired.ProcessPendingEvents = [] { QCoreApplication::processEvents(); };
    }
    if (!wired.RunAside) {
        wired.RunAside = [this](const std::function<void()>& job) { RunAside(job); };
    }
    // No row can be chosen while the converter runs.
    if (wired.Convert) {
        wired.Convert = [this, convert = std::move(wired.Convert)](const std::string& source,
                                                                   const std::string& target) {
            this->grid.setEnabled(false);
            const bool done = convert(source, target);
            this->grid.setEnabled(true);
            return done;
        };
    }
    grid.OnSelectCell = [this](int row) { SGridFilesSelectCell(row); };
    grid.OnClick = [this] { SGridFilesClick(); };
    grid.OnDblClick = [this] { SGridFilesDblClick(); };
    grid.OnKeyDown = [this](int key) { SGridFilesKeyDown(key); };
    grid.OnMouseUp = [this](QPoint position, Qt::MouseButton button) {
        SGridFilesMouseUp(position, button);
    };
}

void FileListHandlers::RunAside(const std::function<void()>& job) {
    // The window goes on answering, drawing and capturing; no row can be chosen meanwhile.
    grid.setEnabled(false);
    BusyCursor busy;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        job();
        done = true;
    });
    while (!done) {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        // A loop that returns at once belongs to a program ending: the job is waited for.
        if (wait.exec() != 0)
            break;
    }
    worker.join();
    grid.setEnabled(true);
}

void FileListHandlers::RescanAndSort() {
    {
        BusyCursor busy;
        ScanOutputFolder(settings.OutputFolder, library);
        ProbeDurationsNow(library);
    }
    SortFileList(settings.Sort, library.CurrentFile, library);
    grid.Refresh();
}

void FileListHandlers::SGridFilesSelectCell(int row) {
    Operations.SelectRow(row);
}

PopupMenuState FileListHandlers::SGridFilesClick() {
    return Operations.Popup();
}

void FileListHandlers::SGridFilesDblClick() {
    Operations.PlaySelected(LastClickedRow);
}

void FileListHandlers::SGridFilesKeyDown(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Operations.PlayCurrent();
        break;
    case Qt::Key_Escape:
        Operations.StopPlayback();
        break;
    case Qt::Key_Delete:
        Operations.Delete();
        break;
    default:
        break;
    }
}

void FileListHandlers::SGridFilesMouseUp(QPoint position, Qt::MouseButton button) {
    const int row = grid.RowAt(position.y());
    LastClickedRow = row;
    const std::optional<int> order =
        SortOrderAfterHeaderClick(settings.Sort, row, grid.ColumnAt(position.x() - 5),
                                  grid.ColumnAt(position.x()), grid.ColumnAt(position.x() + 5));
    if (order) {
        settings.Sort = *order;
        grid.RefreshHeader();
        SortFileList(settings.Sort, library.CurrentFile, library);
        grid.Refresh();
    }
    // The popup's items follow the state at the moment it opens.
    if (button == Qt::RightButton && ShowPopup) {
        ShowPopup(SGridFilesClick(), grid.viewport()->mapToGlobal(position));
    }
}

FileMenuState FileListHandlers::menuFileClick() {
    return Operations.FileMenu();
}

bool FileListHandlers::AskYesNo(const std::string& text) {
    return AskConfirm(dialogParent, ShownText(text));
}

std::optional<std::string> FileListHandlers::AskNewName(const std::string& initial) {
    QInputDialog box(dialogParent);
    box.setWindowTitle("Rename File");
    box.setLabelText("");
    box.setTextValue(ShownText(initial));
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.textValue().toStdString();
}

std::optional<std::string> FileListHandlers::AskSavePath(const std::string& initial) {
    QFileDialog dialog(dialogParent, "Move File");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The move asks its own question about an existing file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(ShownText(initial));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> FileListHandlers::PickFolder(const std::string& start) {
    QFileDialog dialog(dialogParent, "Select or create a folder", ShownText(start));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

void FileListHandlers::ShowMessage(const std::string& text) {
    ShowMessageBox(dialogParent, ShownText(text));
}
