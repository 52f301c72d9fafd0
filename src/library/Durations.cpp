#include "library/Durations.h"

#include "library/DurationProbe.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <unordered_map>
#include <utility>

ProbedDuration ProbeRequested(const ProbeRequest& file) {
    return {file, ProbeDuration(file.path)};
}

bool ApplyDurations(LibraryState& state, const std::vector<ProbedDuration>& probed) {
    if (probed.empty())
        return false;
    std::unordered_map<std::string_view, ListEntry*> entries;
    for (ListEntry& entry : state.Entries)
        entries.emplace(entry.path, &entry);
    bool changed = false;
    for (const ProbedDuration& result : probed) {
        const ProbeRequest& file = result.file;
        state.Stored[file.path] = {file.size, file.modifiedNanos, result.durationText, {}};
        const auto known = state.Known.find(file.path);
        if (known == state.Known.end() || known->second.size != file.size ||
            known->second.modifiedNanos != file.modifiedNanos)
            continue; // gone or changed since: the next scan asks again
        known->second.durationText = result.durationText;
        const auto entry = entries.find(file.path);
        if (entry != entries.end() && entry->second->durationText != result.durationText) {
            entry->second->durationText = result.durationText;
            changed = true;
        }
    }
    return changed;
}

void ProbeDurationsNow(LibraryState& state) {
    const std::vector<ProbeRequest> files = std::exchange(state.Unprobed, {});
    std::vector<ProbedDuration> probed(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++)
            probed[i] = ProbeRequested(files[i]);
    };
    const unsigned helpers =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), files.size());
    {
        std::vector<std::jthread> threads;
        for (unsigned i = 1; i < helpers; ++i)
            threads.emplace_back(work);
        work();
    }
    ApplyDurations(state, probed);
}
