#pragma once
// What the file list does to the recordings and the output folder: selecting the current file,
// playing it, renaming, moving, deleting and converting it, and choosing the output folder
// directly or from the recent folders. Free of windows: the questions go through FileQuestions,
// the rest of the program is reached through FileListCalls.

#include "engine/SessionState.h"
#include "engine/global.h"
#include "library/FileMenus.h"
#include "library/Files.h"
#include "platform/TimedPathLookup.h"

#include <functional>
#include <optional>
#include <string>

// What the file operations ask the user. The window answers with dialogs, tests with scripts.
class FileQuestions {
public:
    virtual ~FileQuestions() = default;
    // A question captioned "Confirm" with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The input box "Rename File" holding `initial`; nothing when cancelled.
    virtual std::optional<std::string> AskNewName(const std::string& initial) = 0;
    // The save dialog "Move File" holding `initial`; nothing when cancelled.
    virtual std::optional<std::string> AskSavePath(const std::string& initial) = 0;
    // The folder browser "Select or create a folder", opened at `start`; nothing when cancelled.
    virtual std::optional<std::string> PickFolder(const std::string& start) = 0;
    // A plain message with OK.
    virtual void ShowMessage(const std::string& text) = 0;
};

// The rest of the program as the file list uses it. Any call left empty is skipped, except
// RescanAndSort, which then scans and sorts without a window.
struct FileListCalls {
    // Scans the output folder under the busy cursor, sorts, and shows the new rows.
    std::function<void()> RescanAndSort;
    std::function<void()> PlayCurrentFile;
    // The session's StopAll: here it only stops a playback (nothing runs while recording).
    std::function<void()> StopAll;
    // Stops and frees the player's stream and clears IsPlaying.
    std::function<void()> StopPlayer;
    // Shows the converter and converts `source` (a WAV file) into `target` (MP3) to the end;
    // an existing target is replaced only by a completed conversion.
    std::function<bool(const std::string& source, const std::string& target)> Convert;
    // Lets waiting window events run.
    std::function<void()> ProcessPendingEvents;
    // Runs `job` on a thread of its own and lets the window's events run until it has ended
    // (a move to another drive copies the whole file). Left empty, the job runs in the call.
    std::function<void(const std::function<void()>& job)> RunAside;
    // The current file changed (the label that shows it may follow at once).
    std::function<void()> CurrentFileChanged;
};

class FileOperations {
public:
    FileOperations(LibraryState& library, RecordingSettings& settings, const SessionState& session,
                   FileQuestions& questions, FileListCalls calls);

    FileListCalls Calls;

    // A row became selected: it becomes the current file (stopping a playback) and a WAV
    // file's format is read. Nothing while recording or paused, or with an empty list.
    void SelectRow(int row);
    // A double click: the selected file becomes the current file again and plays, when the
    // last mouse release was on a data row.
    void PlaySelected(int lastClickedRow);
    // Enter and the popup's Play; nothing while recording or without a current file.
    void PlayCurrent();
    // Escape and the popup's Stop; nothing while recording.
    void StopPlayback();

    // Every operation below does nothing while recording, and nothing more once a recording
    // started while it asked a question. A conversion is refused while one runs, and every
    // operation while a move copies its file. A file or
    // folder that does not answer in a moment (a stalled mount) is left alone, and the user is
    // told which.
    void Rename();
    void Delete();
    void ConvertToMp3();
    void Move();
    void ChooseOutputFolder();
    // `number` 1 to 4.
    void ChooseRecentFolder(int number);

    // Computed each time the menu opens; reads the current WAV file's format anew first.
    FileMenuState FileMenu();
    PopupMenuState Popup();

private:
    void ApplyFolderChange();
    void StopPlaying();
    void ProbeCurrentFormat();
    void Rescan();
    void Pending();
    void Aside(const std::function<void()>& job);
    void CurrentFileChanged();
    void Forget(const std::string& path);
    // What `look` (one look at the file system) gives; nothing, after telling the user that
    // `shown` does not answer, when it did not in a moment.
    std::optional<bool> Answer(const std::string& shown, std::function<bool()> look);
    // Whether something is at `path`; false, after telling the user, when it did not answer.
    bool Present(const std::string& path, const std::string& shown);
    // Whether a file other than `source` is at `target`; nothing, after telling the user, when
    // one of them did not answer.
    std::optional<bool> OtherFileAt(const std::string& source, const std::string& target);

    LibraryState& library_;
    RecordingSettings& settings_;
    const SessionState& session_;
    FileQuestions& questions_;
    std::string fileMenuConvertCaption_ = "Convrert to MP3";
    bool converting_ = false;
    bool moving_ = false;
    // Every look at a file before acting on it: the window never waits on a stalled mount.
    platform::TimedPathLookup look_;
};
