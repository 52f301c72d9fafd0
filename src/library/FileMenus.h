#pragma once
// Which file items the File menu and the file list's popup menu offer, computed each time one
// of them opens, and the caption of their Convert item.

#include "engine/SessionState.h"
#include "engine/global.h"
#include "library/Files.h"

#include <string>

struct FileMenuState {
    bool SelectFolder = false; // "Output Folder..."
    bool RecentFolders = false;
    bool Rename = false;
    bool Convert = false;
    bool Move = false;
    bool Delete = false;
    // The Convert item's caption: "Convrert to MP3" until it is first enabled, then the last
    // caption it was given.
    std::string ConvertCaption;
};

struct PopupMenuState {
    bool Play = false;
    bool Stop = false;
    bool Rename = false;
    bool Convert = false;
    bool ConvertVisible = false;
    bool Move = false;
    bool Delete = false;
    std::string ConvertCaption; // empty while hidden
};

// "Convert to MP3 (128 kbps)", or with VBR "Convert to MP3 (32-320 kbps)".
std::string ConvertCaption(const RecordingSettings& settings);

// True when the current file is a WAV file (by its extension) of a format the MP3 conversion
// takes. Reads the current file format, which must describe the current file.
bool CurrentFileConvertible(const LibraryState& library);

// `lastConvertCaption` is the File menu Convert item's caption so far; it is updated.
FileMenuState ComputeFileMenuState(const LibraryState& library, const RecordingSettings& settings,
                                   const SessionState& session, std::string& lastConvertCaption);

PopupMenuState ComputePopupMenuState(const LibraryState& library, const RecordingSettings& settings,
                                     const SessionState& session);
