#include "library/FileOperations.h"

#include "library/Durations.h"
#include "library/FileNames.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "library/FormatProbe.h"
#include "library/LabelFiles.h"
#include "library/RecentFolders.h"
#include "platform/FileSystem.h"
#include "platform/NameText.h"

namespace {

// The questions' two lines.
constexpr char LineBreak = '\n';

void Run(const std::function<void()>& call) {
    if (call) {
        call();
    }
}

} // namespace

FileOperations::FileOperations(LibraryState& library, RecordingSettings& settings,
                               const SessionState& session, FileQuestions& questions,
                               FileListCalls calls)
    : Calls(std::move(calls)), library(library), settings(settings), session(session),
      questions(questions) {}

void FileOperations::SelectRow(int row) {
    if (library.Entries.empty() || session.IsRecording || session.IsPaused) {
        return;
    }
    const FileGrid& grid = library.Grid;
    if (row >= 1 && row < grid.RowCount && !grid.RowPaths[row].empty() &&
        grid.RowPaths[row] != library.CurrentFile) {
        Run(Calls.StopAll);
        library.SelectedFile = grid.RowPaths[row];
        library.CurrentFile = grid.RowPaths[row];
        CurrentFileChanged();
    }
    if (IsWavName(library.CurrentFile)) {
        ProbeCurrentFormat();
    }
}

void FileOperations::PlaySelected(int lastClickedRow) {
    if (session.IsPaused || session.IsRecording || library.Entries.empty() || lastClickedRow < 1 ||
        library.SelectedFile.empty()) {
        return;
    }
    if (library.CurrentFile != library.SelectedFile) {
        library.CurrentFile = library.SelectedFile;
        CurrentFileChanged();
    }
    Run(Calls.PlayCurrentFile);
}

void FileOperations::PlayCurrent() {
    if (!session.IsRecording && !library.CurrentFile.empty()) {
        Run(Calls.PlayCurrentFile);
    }
}

void FileOperations::StopPlayback() {
    if (!session.IsRecording) {
        Run(Calls.StopAll);
    }
}

void FileOperations::Rename() {
    const std::string source = library.CurrentFile;
    if (session.IsRecording || source.empty() || !platform::PathExists(source)) {
        return;
    }
    StopPlaying();
    const std::string name = FileNameOf(source);
    const std::size_t dot = name.rfind('.');
    const std::string base = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);

    // The box shows the base as text; an answer that reads as it did is no new name, even
    // when the file's own bytes are not UTF-8.
    const std::string shownBase = platform::ShownName(base);
    const std::optional<std::string> answer = questions.AskNewName(shownBase);
    if (!answer || *answer == shownBase || session.IsRecording) {
        return;
    }
    if (!IsPlainFileName(*answer)) {
        questions.ShowMessage("Can not rename the file to \"" + *answer + "\"." + LineBreak +
                              "A file name must not be empty, must not start with \".\" (the "
                              "file would be hidden), and must not contain \"/\".");
        return;
    }
    const std::string target =
        settings.OutputFolder + platform::PathSeparator + *answer + extension;
    // A new name that differs only in letter case may name the file itself: never offer to
    // delete it.
    bool replace = false;
    if (platform::PathExists(target) && !platform::SameFile(source, target)) {
        if (!questions.AskYesNo(*answer + " already exists." + LineBreak +
                                "Do you want to replace it?") ||
            session.IsRecording) {
            return;
        }
        replace = true;
    }
    // Renaming over the target replaces it in one step, so a failed rename loses nothing.
    if (platform::RenameFile(source, target, replace)) {
        CarryKnownRecording(library, source, target);
        CarryLabelFile(source, target);
        if (library.CurrentFile == source) {
            library.CurrentFile = target;
        }
        if (library.SelectedFile == source) {
            library.SelectedFile = target;
        }
        if (library.CurrentFormatFile == source) {
            library.CurrentFormatFile = target;
        }
        CurrentFileChanged();
    } else {
        questions.ShowMessage("Could not rename " + source + " to " + target + ".");
    }
    Rescan();
}

void FileOperations::Delete() {
    const std::string source = library.CurrentFile;
    if (session.IsRecording || source.empty() || !platform::PathExists(source)) {
        return;
    }
    if (!questions.AskYesNo("Are you sure you want to delete " + FileNameOf(source) + "?") ||
        session.IsRecording) {
        return;
    }
    StopPlaying();
    Pending();
    if (session.IsRecording) {
        return;
    }
    if (platform::DeleteFile(source)) {
        DeleteLabelFile(source);
    }
    Forget(source);
    Pending();
    Rescan();
}

void FileOperations::ConvertToMp3() {
    const std::string source = library.CurrentFile;
    // One conversion at a time: the running one's files are left alone.
    if (converting || session.IsRecording || !IsWavName(source)) {
        return;
    }
    ProbeCurrentFormat();
    // The converter reads 16-bit WAV at the MP3 rates only; anything else would cost an
    // existing MP3 file for a conversion that cannot run.
    if (!IsConvertibleFormat(library.CurrentFormat)) {
        return;
    }
    const std::string target =
        source.substr(0, source.size() - UpperExtension(source).size()) + ".mp3";
    if (platform::PathExists(target) &&
        !questions.AskYesNo(target + " already exists." + LineBreak +
                            "Do you want to overwrite it?")) {
        return;
    }
    // The converter puts the new file in place of an existing one only once it is complete.
    if (session.IsRecording || !Calls.Convert) {
        return;
    }
    converting = true;
    Calls.Convert(source, target);
    converting = false;
    Pending();
    if (!session.IsRecording) {
        Rescan();
    }
}

void FileOperations::Move() {
    const std::string source = library.CurrentFile;
    if (session.IsRecording || source.empty() || !platform::PathExists(source)) {
        return;
    }
    const std::optional<std::string> answer = questions.AskSavePath(platform::ShownName(source));
    if (!answer || answer->empty()) {
        return;
    }
    Pending();
    const std::string target = MeantPath(*answer, source);
    if (target == source || session.IsRecording) {
        return;
    }
    // The target may be the file itself under another spelling: no question, nothing deleted.
    bool replace = false;
    if (platform::PathExists(target) && !platform::SameFile(source, target)) {
        if (!questions.AskYesNo(target + " already exists." + LineBreak +
                                "Do you want to overwrite it?") ||
            session.IsRecording) {
            return;
        }
        replace = true;
    }
    std::string error;
    const bool moved = platform::MoveFile(source, target, replace, error);
    if (moved) {
        CarryKnownRecording(library, source, target);
        CarryLabelFile(source, target);
        Forget(source);
    }
    // The save dialog may have changed the process's folder.
    platform::SetCurrentFolder(settings.OutputFolder);
    if (!moved) {
        questions.ShowMessage("Could not move " + source + " to " + target + ":" + LineBreak +
                              error + "." + LineBreak + "The file was left where it was.");
    }
    Pending();
    Rescan();
}

void FileOperations::ChooseOutputFolder() {
    if (session.IsRecording) {
        return;
    }
    library.PreviousFolder = settings.OutputFolder;
    const std::optional<std::string> picked = questions.PickFolder(settings.OutputFolder);
    // A recording started meanwhile is written into the folder it started in.
    if (session.IsRecording) {
        return;
    }
    if (picked && !picked->empty()) {
        settings.OutputFolder = *picked;
    }
    if (settings.OutputFolder != library.PreviousFolder && !settings.OutputFolder.empty()) {
        ApplyFolderChange();
    }
}

void FileOperations::ChooseRecentFolder(int number) {
    if (session.IsRecording || number < 1 || number > 4) {
        return;
    }
    std::string& recent = settings.RecentFolders[number - 1];
    if (recent.empty()) {
        return;
    }
    library.PreviousFolder = settings.OutputFolder;
    if (platform::FolderExists(recent)) {
        settings.OutputFolder = recent;
        ApplyFolderChange();
        return;
    }
    questions.ShowMessage("Folder - " + recent + " does not exist!");
    recent.clear();
    library.PreviousFolder.clear();
    UpdateRecentFolders(settings, library);
}

FileMenuState FileOperations::FileMenu() {
    if (!session.IsRecording && IsWavName(library.CurrentFile)) {
        ProbeCurrentFormat();
    }
    FileMenuState menu = ComputeFileMenuState(library, settings, session, fileMenuConvertCaption);
    menu.Convert = menu.Convert && !converting;
    return menu;
}

PopupMenuState FileOperations::Popup() {
    if (!session.IsRecording && IsWavName(library.CurrentFile)) {
        ProbeCurrentFormat();
    }
    PopupMenuState popup = ComputePopupMenuState(library, settings, session);
    popup.Convert = popup.Convert && !converting;
    return popup;
}

void FileOperations::ApplyFolderChange() {
    library.CurrentFile.clear();
    library.SelectedFile.clear();
    StopPlaying();
    platform::SetCurrentFolder(settings.OutputFolder);
    CurrentFileChanged();
    Rescan();
    UpdateRecentFolders(settings, library);
}

void FileOperations::StopPlaying() {
    if (session.IsPlaying) {
        Run(Calls.StopPlayer);
    }
}

// Reading the header of one file is cheap, and a new recording may reuse the name of the last
// file read, so the format is read again each time it is needed.
void FileOperations::ProbeCurrentFormat() {
    library.CurrentFormat = ProbeFileFormat(library.CurrentFile);
    library.CurrentFormatFile = library.CurrentFile;
}

void FileOperations::Rescan() {
    if (Calls.RescanAndSort) {
        Calls.RescanAndSort();
        return;
    }
    ScanOutputFolder(settings.OutputFolder, library);
    ProbeDurationsNow(library);
    SortFileList(settings.Sort, library.CurrentFile, library);
}

void FileOperations::Pending() {
    Run(Calls.ProcessPendingEvents);
}

void FileOperations::CurrentFileChanged() {
    Run(Calls.CurrentFileChanged);
}

// The file is gone from the folder: it is neither current nor selected any more.
void FileOperations::Forget(const std::string& path) {
    if (library.CurrentFile == path) {
        library.CurrentFile.clear();
        CurrentFileChanged();
    }
    if (library.SelectedFile == path) {
        library.SelectedFile.clear();
    }
}
