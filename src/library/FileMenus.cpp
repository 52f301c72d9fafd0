#include "library/FileMenus.h"

#include "library/FileNames.h"
#include "library/FormatProbe.h"

std::string ConvertCaption(const RecordingSettings& settings) {
    const std::string rate = settings.VBR ? std::to_string(settings.MinBitRate) + "-" +
                                                std::to_string(settings.MaxBitRate)
                                          : std::to_string(settings.BitRate);
    return "Convert to MP3 (" + rate + " kbps)";
}

bool CurrentFileConvertible(const LibraryState& library) {
    return IsWavName(library.CurrentFile) && library.CurrentFormatFile == library.CurrentFile &&
           IsConvertibleFormat(library.CurrentFormat);
}

FileMenuState ComputeFileMenuState(const LibraryState& library, const RecordingSettings& settings,
                                   const SessionState& session, std::string& lastConvertCaption) {
    FileMenuState menu;
    if (!session.IsRecording) {
        menu.SelectFolder = true;
        for (const std::string& folder : settings.RecentFolders) {
            menu.RecentFolders = menu.RecentFolders || !folder.empty();
        }
        const bool hasFile = !library.CurrentFile.empty();
        menu.Rename = menu.Move = menu.Delete = hasFile;
        if (hasFile && CurrentFileConvertible(library)) {
            menu.Convert = true;
            lastConvertCaption = ConvertCaption(settings);
        }
    }
    menu.ConvertCaption = lastConvertCaption;
    return menu;
}

PopupMenuState ComputePopupMenuState(const LibraryState& library, const RecordingSettings& settings,
                                     const SessionState& session) {
    PopupMenuState popup;
    if (session.IsRecording || library.CurrentFile.empty()) {
        return popup;
    }
    popup.Stop = session.IsPlaying;
    popup.Play = !session.IsPlaying;
    popup.Rename = popup.Delete = popup.Move = true;
    if (CurrentFileConvertible(library)) {
        popup.Convert = popup.ConvertVisible = true;
        popup.ConvertCaption = ConvertCaption(settings);
    }
    return popup;
}
