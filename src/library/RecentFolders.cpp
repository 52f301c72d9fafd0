#include "library/RecentFolders.h"

#include "platform/FileSystem.h"

#include <optional>

bool SettleOutputFolder(RecordingSettings& settings, LibraryState& state, std::string& error,
                        platform::TimedPathLookup& look) {
    const std::optional<bool> exists = look.Within<bool>(
        [folder = settings.OutputFolder] { return platform::FolderExists(folder); });
    if (exists == false) {
        settings.OutputFolder = platform::MusicFolder();
        if (!platform::CreateFolder(settings.OutputFolder)) {
            error = "Can not create " + settings.OutputFolder;
            return false;
        }
    }
    state.PreviousFolder = settings.OutputFolder;
    if (exists.has_value())
        platform::SetCurrentFolder(settings.OutputFolder);
    UpdateRecentFolders(settings, state);
    return true;
}

void UpdateRecentFolders(RecordingSettings& settings, LibraryState& state) {
    auto& recent = settings.RecentFolders;
    for (std::string& folder : recent) {
        if (folder == settings.OutputFolder || folder == state.PreviousFolder) {
            folder.clear();
        }
    }
    for (std::size_t i = 0; i + 1 < recent.size(); ++i) {
        if (recent[i].empty() && !recent[i + 1].empty()) {
            recent[i] = std::move(recent[i + 1]);
            recent[i + 1].clear();
        }
    }
    if (settings.OutputFolder != state.PreviousFolder && !state.PreviousFolder.empty()) {
        for (std::size_t i = recent.size() - 1; i > 0; --i) {
            recent[i] = recent[i - 1];
        }
        recent[0] = state.PreviousFolder;
    }
    for (std::size_t i = 0; i < recent.size(); ++i) {
        state.RecentCaptions[i] =
            recent[i].empty() ? std::string() : std::to_string(i + 1) + ". " + recent[i];
    }
}
