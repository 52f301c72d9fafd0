#include "library/FileOperations.h"

#include "engine/UserMessage.h"
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
    : Calls(std::move(calls)), library_(library), settings_(settings), session_(session),
      questions_(questions) {}

void FileOperations::SelectRow(int row) {
    if (library_.Entries.empty() || session_.IsRecording || session_.IsPaused) {
        return;
    }
    const FileGrid& grid = library_.Grid;
    if (row >= 1 && row < grid.RowCount && !grid.RowPaths[row].empty() &&
        grid.RowPaths[row] != library_.CurrentFile) {
        Run(Calls.StopAll);
        library_.SelectedFile = grid.RowPaths[row];
        library_.CurrentFile = grid.RowPaths[row];
        CurrentFileChanged();
    }
    if (IsWavName(library_.CurrentFile)) {
        ProbeCurrentFormat();
    }
}

void FileOperations::PlaySelected(int lastClickedRow) {
    if (session_.IsPaused || session_.IsRecording || library_.Entries.empty() ||
        lastClickedRow < 1 || library_.SelectedFile.empty()) {
        return;
    }
    if (library_.CurrentFile != library_.SelectedFile) {
        library_.CurrentFile = library_.SelectedFile;
        CurrentFileChanged();
    }
    Run(Calls.PlayCurrentFile);
}

void FileOperations::PlayCurrent() {
    if (!session_.IsRecording && !library_.CurrentFile.empty()) {
        Run(Calls.PlayCurrentFile);
    }
}

void FileOperations::StopPlayback() {
    if (!session_.IsRecording) {
        Run(Calls.StopAll);
    }
}

void FileOperations::Rename() {
    const std::string source = library_.CurrentFile;
    if (moving_ || session_.IsRecording || source.empty() || !Present(source, FileNameOf(source))) {
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
    const std::optional<std::string> answer = questions_.AskNewName(shownBase);
    if (!answer || *answer == shownBase || session_.IsRecording) {
        return;
    }
    if (!IsPlainFileName(*answer)) {
        questions_.ShowMessage("Can not rename the file to \"" + *answer + "\"." + LineBreak +
                               "A file name must not be empty, must not start with \".\" (the "
                               "file would be hidden), and must not contain \"/\".");
        return;
    }
    const std::string target =
        settings_.OutputFolder + platform::PathSeparator + *answer + extension;
    // A new name that differs only in letter case may name the file itself: never offer to
    // delete it.
    const std::optional<bool> taken = OtherFileAt(source, target);
    if (!taken) {
        return;
    }
    bool replace = false;
    if (*taken) {
        if (!questions_.AskYesNo(*answer + " already exists." + LineBreak +
                                 "Do you want to replace it?") ||
            session_.IsRecording) {
            return;
        }
        replace = true;
    }
    // Renaming over the target replaces it in one step, so a failed rename loses nothing.
    if (platform::RenameFile(source, target, replace)) {
        CarryKnownRecording(library_, source, target);
        CarryLabelFile(source, target);
        if (library_.CurrentFile == source) {
            library_.CurrentFile = target;
        }
        if (library_.SelectedFile == source) {
            library_.SelectedFile = target;
        }
        if (library_.CurrentFormatFile == source) {
            library_.CurrentFormatFile = target;
        }
        CurrentFileChanged();
    } else {
        questions_.ShowMessage("Could not rename " + source + " to " + target + ".");
    }
    Rescan();
}

void FileOperations::Delete() {
    const std::string source = library_.CurrentFile;
    if (moving_ || session_.IsRecording || source.empty() || !Present(source, FileNameOf(source))) {
        return;
    }
    if (!questions_.AskYesNo("Are you sure you want to delete " + FileNameOf(source) + "?") ||
        session_.IsRecording) {
        return;
    }
    StopPlaying();
    Pending();
    if (session_.IsRecording) {
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
    const std::string source = library_.CurrentFile;
    // One conversion at a time: the running one's files are left alone.
    if (moving_ || converting_ || session_.IsRecording || !IsWavName(source) ||
        !Present(source, FileNameOf(source))) {
        return;
    }
    ProbeCurrentFormat();
    // The converter reads 16-bit WAV at the MP3 rates only; anything else would cost an
    // existing MP3 file for a conversion that cannot run.
    if (!IsConvertibleFormat(library_.CurrentFormat)) {
        return;
    }
    const std::string target =
        source.substr(0, source.size() - UpperExtension(source).size()) + ".mp3";
    const std::optional<bool> taken = OtherFileAt(source, target);
    if (!taken || (*taken && !questions_.AskYesNo(target + " already exists." + LineBreak +
                                                  "Do you want to overwrite it?"))) {
        return;
    }
    // The converter puts the new file in place of an existing one only once it is complete.
    if (session_.IsRecording || !Calls.Convert) {
        return;
    }
    converting_ = true;
    Calls.Convert(source, target);
    converting_ = false;
    Pending();
    if (!session_.IsRecording) {
        Rescan();
    }
}

void FileOperations::Move() {
    const std::string source = library_.CurrentFile;
    if (moving_ || session_.IsRecording || source.empty() || !Present(source, FileNameOf(source))) {
        return;
    }
    const std::optional<std::string> answer = questions_.AskSavePath(platform::ShownName(source));
    if (!answer || answer->empty()) {
        return;
    }
    Pending();
    const std::string target = MeantPath(*answer, source);
    if (target == source || session_.IsRecording) {
        return;
    }
    // The target may be the file itself under another spelling: no question, nothing deleted.
    const std::optional<bool> taken = OtherFileAt(source, target);
    if (!taken) {
        return;
    }
    bool replace = false;
    if (*taken) {
        if (!questions_.AskYesNo(target + " already exists." + LineBreak +
                                 "Do you want to overwrite it?") ||
            session_.IsRecording) {
            return;
        }
        replace = true;
    }
    std::string error;
    bool moved = false;
    // A recording may start meanwhile: its file is another.
    moving_ = true;
    Aside([&] { moved = platform::MoveFile(source, target, replace, error); });
    moving_ = false;
    if (moved) {
        CarryKnownRecording(library_, source, target);
        CarryLabelFile(source, target);
        Forget(source);
    }
    // The save dialog may have changed the process's folder.
    platform::SetCurrentFolder(settings_.OutputFolder);
    if (!moved) {
        questions_.ShowMessage("Could not move " + source + " to " + target + ":" + LineBreak +
                               error + "." + LineBreak + "The file was left where it was.");
    }
    Pending();
    if (!session_.IsRecording) {
        Rescan();
    }
}

void FileOperations::ChooseOutputFolder() {
    if (moving_ || session_.IsRecording) {
        return;
    }
    library_.PreviousFolder = settings_.OutputFolder;
    const std::optional<std::string> picked = questions_.PickFolder(settings_.OutputFolder);
    // A recording started meanwhile is written into the folder it started in.
    if (session_.IsRecording) {
        return;
    }
    if (picked && !picked->empty()) {
        settings_.OutputFolder = *picked;
    }
    if (settings_.OutputFolder != library_.PreviousFolder && !settings_.OutputFolder.empty()) {
        ApplyFolderChange();
    }
}

void FileOperations::ChooseRecentFolder(int number) {
    if (moving_ || session_.IsRecording || number < 1 || number > 4) {
        return;
    }
    std::string& recent = settings_.RecentFolders[number - 1];
    if (recent.empty()) {
        return;
    }
    const std::optional<bool> exists =
        Answer(recent, [recent] { return platform::FolderExists(recent); });
    // A folder on a stalled mount stays among the recent folders: it may come back.
    if (!exists) {
        return;
    }
    library_.PreviousFolder = settings_.OutputFolder;
    if (*exists) {
        settings_.OutputFolder = recent;
        ApplyFolderChange();
        return;
    }
    questions_.ShowMessage("Folder - " + recent + " does not exist!");
    recent.clear();
    library_.PreviousFolder.clear();
    UpdateRecentFolders(settings_, library_);
}

FileMenuState FileOperations::FileMenu() {
    if (!session_.IsRecording && IsWavName(library_.CurrentFile)) {
        ProbeCurrentFormat();
    }
    FileMenuState menu =
        ComputeFileMenuState(library_, settings_, session_, fileMenuConvertCaption_);
    menu.Convert = menu.Convert && !converting_;
    if (moving_) {
        menu.SelectFolder = menu.RecentFolders = false;
        menu.Rename = menu.Convert = menu.Move = menu.Delete = false;
    }
    return menu;
}

PopupMenuState FileOperations::Popup() {
    if (!session_.IsRecording && IsWavName(library_.CurrentFile)) {
        ProbeCurrentFormat();
    }
    PopupMenuState popup = ComputePopupMenuState(library_, settings_, session_);
    popup.Convert = popup.Convert && !converting_;
    if (moving_) {
        popup.Rename = popup.Convert = popup.Move = popup.Delete = false;
    }
    return popup;
}

void FileOperations::ApplyFolderChange() {
    library_.CurrentFile.clear();
    library_.SelectedFile.clear();
    StopPlaying();
    platform::SetCurrentFolder(settings_.OutputFolder);
    CurrentFileChanged();
    Rescan();
    UpdateRecentFolders(settings_, library_);
}

void FileOperations::StopPlaying() {
    if (session_.IsPlaying) {
        Run(Calls.StopPlayer);
    }
}

// Reading the header of one file is cheap, and a new recording may reuse the name of the last
// file read, so the format is read again each time it is needed.
void FileOperations::ProbeCurrentFormat() {
    // A file that does not answer keeps the format last read: it was read, so it was there.
    const std::string file = library_.CurrentFile;
    if (!look_.Within<bool>([file] { return platform::PathExists(file); })) {
        return;
    }
    library_.CurrentFormat = ProbeFileFormat(library_.CurrentFile);
    library_.CurrentFormatFile = library_.CurrentFile;
}

void FileOperations::Rescan() {
    if (Calls.RescanAndSort) {
        Calls.RescanAndSort();
        return;
    }
    ScanOutputFolder(settings_.OutputFolder, library_);
    ProbeDurationsNow(library_);
    SortFileList(settings_.Sort, library_.CurrentFile, library_);
}

void FileOperations::Pending() {
    Run(Calls.ProcessPendingEvents);
}

void FileOperations::Aside(const std::function<void()>& job) {
    if (Calls.RunAside) {
        Calls.RunAside(job);
    } else {
        job();
    }
}

void FileOperations::CurrentFileChanged() {
    Run(Calls.CurrentFileChanged);
}

// The file is gone from the folder: it is neither current nor selected any more.
void FileOperations::Forget(const std::string& path) {
    if (library_.CurrentFile == path) {
        library_.CurrentFile.clear();
        CurrentFileChanged();
    }
    if (library_.SelectedFile == path) {
        library_.SelectedFile.clear();
    }
}

std::optional<bool> FileOperations::Answer(const std::string& shown, std::function<bool()> look) {
    const std::optional<bool> answer = look_.Within<bool>(std::move(look));
    if (!answer) {
        questions_.ShowMessage(NoAnswerText(shown) + ".");
    }
    return answer;
}

bool FileOperations::Present(const std::string& path, const std::string& shown) {
    return Answer(shown, [path] { return platform::PathExists(path); }).value_or(false);
}

std::optional<bool> FileOperations::OtherFileAt(const std::string& source,
                                                const std::string& target) {
    return Answer(target, [source, target] {
        return platform::PathExists(target) && !platform::SameFile(source, target);
    });
}
