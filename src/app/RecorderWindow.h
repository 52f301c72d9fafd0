#pragma once
// What the program's core asks of the main window: the few things that need a window.

#include "engine/UserMessage.h"

#include <functional>

class RecorderWindow {
public:
    virtual ~RecorderWindow() = default;
    // A modal box; the core never asks for one from inside the capture tick.
    virtual void ShowMessage(const UserMessage& message) = 0;
    // Lets pending window events run; they may call back into the core.
    virtual void ProcessPendingEvents() = 0;
    // Runs `call` from an event of its own, once the current one has ended.
    virtual void RunLater(std::function<void()> call) = 0;
    virtual void ClearStatusText() = 0;
    // The busy cursor, from the request of a listing of the output folder until it is in.
    virtual void ShowBusy(bool busy) = 0;
    // The file list was scanned and sorted anew.
    virtual void FileListChanged() = 0;
    // Durations came in: the cells changed, the rows only under a "Duration" order. The view
    // stays where the user scrolled it.
    virtual void FileListCellsChanged() = 0;
    // Ends the program as closing the window does, then starts it again.
    virtual void RestartProgram() = 0;
};
