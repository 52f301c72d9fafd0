#include "library/FolderScan.h"

#include "audio/Bass.h"
#include "library/ListTexts.h"
#include "platform/DateTimeText.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>

namespace {

// A recording this small holds no sound, at most the 44-byte header of an empty WAV file.
constexpr std::uint64_t SmallestRecording = 50;
// A small file changed more recently may be a recording another instance has just begun.
constexpr std::chrono::seconds LeftoverAge{60};

bool IsLeftover(const platform::DirEntry& file, const std::string& path,
                const std::vector<std::string>& heldFiles) {
    if (file.size >= SmallestRecording)
        return false;
    const auto age = std::chrono::system_clock::now().time_since_epoch() -
                     std::chrono::nanoseconds(file.modifiedNanos);
    return age >= LeftoverAge &&
           std::none_of(heldFiles.begin(), heldFiles.end(),
                        [&](const std::string& held) { return platform::SameFile(held, path); });
}

std::int64_t TwoSecondStamp(std::int64_t localSeconds) {
    return localSeconds - (localSeconds % 2 + 2) % 2;
}

std::string DateTimeText(std::int64_t timeStamp) {
    return JoinDateAndTime(platform::ShortDateText(timeStamp), platform::LongTimeText(timeStamp));
}

bool Unchanged(const KnownRecording& memory, const platform::DirEntry& file) {
    return memory.size == file.size && memory.modifiedNanos == file.modifiedNanos;
}

} // namespace

void ScanOutputFolder(const std::string& outputFolder, LibraryState& state,
                      const std::vector<std::string>& heldFiles) {
    ApplyListing(outputFolder, ListOutputFolder(outputFolder, heldFiles), state);
}

std::vector<platform::DirEntry> ListOutputFolder(const std::string& outputFolder,
                                                 const std::vector<std::string>& heldFiles) {
    std::vector<platform::DirEntry> files = platform::ListPlainFiles(outputFolder, IsRecordingKind);
    std::erase_if(files, [&](const platform::DirEntry& file) {
        const std::string path = outputFolder + platform::PathSeparator + file.name;
        return IsLeftover(file, path, heldFiles) && platform::DeleteFile(path);
    });
    return files;
}

void ApplyListing(const std::string& outputFolder, std::vector<platform::DirEntry> files,
                  LibraryState& state) {
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    state.Entries.clear();
    std::unordered_map<std::string, KnownRecording> known;
    state.Unprobed.clear();
    for (platform::DirEntry& file : files) {
        ListEntry entry;
        entry.path = outputFolder + platform::PathSeparator + file.name;
        entry.name = std::move(file.name);
        entry.sizeKB = SizeInKB(file.size);
        entry.sizeText = std::to_string(entry.sizeKB);
        entry.timeStamp = TwoSecondStamp(file.modifiedLocal);
        const auto before = state.Known.find(entry.path);
        if (before != state.Known.end() && Unchanged(before->second, file)) {
            entry.durationText = before->second.durationText;
            entry.dateTimeText = before->second.dateTimeText;
        } else {
            entry.dateTimeText = DateTimeText(entry.timeStamp);
        }
        const auto stored = state.Stored.find(entry.path);
        if (entry.durationText.empty() && stored != state.Stored.end() &&
            Unchanged(stored->second, file)) {
            entry.durationText = stored->second.durationText;
        }
        if (entry.durationText.empty()) {
            state.Unprobed.push_back({entry.path, file.size, file.modifiedNanos});
        }
        known[entry.path] = {file.size, file.modifiedNanos, entry.durationText, entry.dateTimeText};
        state.Entries.push_back(std::move(entry));
    }
    // Only this folder's recordings are kept, so the memory never outgrows the list.
    state.Known = std::move(known);
    ResetGrid(state.Grid, state.Entries.size());
}
