#pragma once
// The texts and colours of the half-second status monitor: the taskbar title, the status word,
// the time labels while playing, the file and source labels and the window caption.

#include "app/Session.h"

#include <cstdint>
#include <optional>
#include <string>

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline const std::string BaseTitle = "Sonvera";

struct StatusMonitor {
    bool Minimized = false;
    bool BlinkPhase = false;
    std::string StatusText;
    // What the taskbar shows; while minimised, the window's title.
    std::string ApplicationTitle = BaseTitle;
};

// What one status tick shows.
struct StatusView {
    bool ResetTime = false;                // both time labels read "00:00:00"
    std::optional<std::string> PlayerTime; // both time labels show the player position
    Rgb ShadowColour;                      // LabStatus0, blinking
    Rgb StatusColour;
    std::string FileText;
    Rgb FileColour;
    std::string SourceHint;
    std::string SourceText; // still to be cut to the label's width
    std::string StatusHint; // the status word's hint
    std::string Caption;    // the window's title
};

struct StatusInputs {
    const SessionState& session;
    double playerSeconds;
    const std::string& currentFile;
    const std::string& outputFolder;
    const std::string& sourceText;
    std::uint64_t lostMs; // audio the running recording lost
    // What a recording without a hand on the keys is doing ("Armed", "Pausing in 3 s",
    // "Waiting - starts 14:00:00"); empty for none.
    std::string unattended = {};
};

// What the file label shows: the current file, or the output folder when there is none.
std::string FileLabelText(const std::string& currentFile, const std::string& outputFolder);

// One status tick: brings the monitor's title and status word up to date, inverts the blink
// phase unless paused, and returns what the labels show.
StatusView UpdateStatusMonitor(StatusMonitor& monitor, const StatusInputs& in);
