#pragma once
// Durations probed after a scan reach the file list and the memories of the scan.

#include "library/Files.h"

#include <string>
#include <vector>

struct ProbedDuration {
    ProbeRequest file;
    std::string durationText;
};

ProbedDuration ProbeRequested(const ProbeRequest& file);

// Gives each probed file's entry its duration (unless the file changed since it was asked for)
// and keeps the duration in LibraryState::Known and ::Stored. True when an entry of the list
// changed; the list then needs sorting again.
bool ApplyDurations(LibraryState& state, const std::vector<ProbedDuration>& probed);

// Probes LibraryState::Unprobed on all cores and applies the results, for callers that may
// wait (no window).
void ProbeDurationsNow(LibraryState& state);
