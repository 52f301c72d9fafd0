#pragma once
// Probes the durations a scan did not know on threads of its own, so the window never waits on
// a file (a huge one, one on a stalled mount); the window thread hands the scan's requests in
// and polls for the results. Keeps the durations on disk between runs.

#include "library/Durations.h"
#include "library/Files.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

class BackgroundDurations {
public:
    // `cacheFile`: where durations are kept between runs; empty keeps none.
    explicit BackgroundDurations(std::string cacheFile);
    // Stops the probing. A thread still inside a file after a moment is left behind, not
    // waited for, so a stalled mount cannot keep the program from ending.
    ~BackgroundDurations();
    BackgroundDurations(const BackgroundDurations&) = delete;
    BackgroundDurations& operator=(const BackgroundDurations&) = delete;

    // Reads the durations kept on disk into LibraryState::Stored (a damaged file gives none).
    void LoadStored(LibraryState& state) const;
    // Takes LibraryState::Unprobed; requests of an earlier scan not begun yet are dropped.
    void Probe(LibraryState& state);
    // Applies the durations found since the last poll; true when the list changed. Once all
    // are in, the new ones are written to disk by a probing thread.
    bool Poll(LibraryState& state);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::string cacheFile_;
    bool unsaved_ = false;
    std::vector<std::thread> threads_;
};
