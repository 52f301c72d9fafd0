#include "library/FolderScan.h"

#include "audio/Bass.h"
#include "library/DurationProbe.h"
#include "library/ListTexts.h"
#include "platform/DateTimeText.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

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

// Probing opens and reads every file, by far the largest cost of a scan, so it runs on all
// cores; each result goes to its own entry, so scan order is kept.
void ProbeDurations(std::vector<ListEntry*>& entries) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < entries.size(); i = next++) {
            entries[i]->durationText = ProbeDuration(entries[i]->path);
        }
    };
    const unsigned helpers =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), entries.size());
    std::vector<std::jthread> threads;
    for (unsigned i = 1; i < helpers; ++i) {
        threads.emplace_back(work);
    }
    work();
}

} // namespace

void ScanOutputFolder(const std::string& outputFolder, LibraryState& state,
                      const std::vector<std::string>& heldFiles) {
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    state.Entries.clear();
    std::unordered_map<std::string, KnownRecording> known;
    std::vector<std::size_t> unknown; // entries whose file is new or changed since the last scan
    for (platform::DirEntry& file : platform::ListPlainFiles(outputFolder, IsRecordingKind)) {
        ListEntry entry;
        entry.path = outputFolder + platform::PathSeparator + file.name;
        if (IsLeftover(file, entry.path, heldFiles) && platform::DeleteFile(entry.path)) {
            continue;
        }
        entry.name = std::move(file.name);
        entry.sizeKB = SizeInKB(file.size);
        entry.sizeText = std::to_string(entry.sizeKB);
        entry.timeStamp = TwoSecondStamp(file.modifiedLocal);
        const auto before = state.Known.find(entry.path);
        if (before != state.Known.end() && before->second.size == file.size &&
            before->second.modifiedNanos == file.modifiedNanos) {
            entry.durationText = before->second.durationText;
            entry.dateTimeText = before->second.dateTimeText;
        } else {
            entry.dateTimeText = DateTimeText(entry.timeStamp);
            unknown.push_back(state.Entries.size());
        }
        known[entry.path] = {file.size, file.modifiedNanos, {}, {}};
        state.Entries.push_back(std::move(entry));
    }
    std::vector<ListEntry*> toProbe;
    toProbe.reserve(unknown.size());
    for (std::size_t index : unknown) {
        toProbe.push_back(&state.Entries[index]);
    }
    ProbeDurations(toProbe);
    for (const ListEntry& entry : state.Entries) {
        KnownRecording& memory = known[entry.path];
        memory.durationText = entry.durationText;
        memory.dateTimeText = entry.dateTimeText;
    }
    // Only this folder's recordings are kept, so the memory never outgrows the list.
    state.Known = std::move(known);
    ResetGrid(state.Grid, state.Entries.size());
}
