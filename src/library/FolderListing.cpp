#include "library/FolderListing.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

namespace {

// How long the end waits for a listing under way.
constexpr std::chrono::seconds EndWait{2};

} // namespace

struct FolderListing::Shared {
    explicit Shared(Lister lister) : list(std::move(lister)) {}

    const Lister list;
    std::mutex mutex;
    std::condition_variable finished; // a thread ended
    std::uint64_t newest = 0;         // the number of the newest request
    std::string wantedFolder;
    std::vector<std::string> wantedHeld;
    std::set<std::string> listing; // folders a thread is in
    std::optional<FolderFiles> done;
    bool stop = false;

    // Lists `folder` until its listing answers the newest request or a newer one wants
    // another folder.
    void Work(const std::string& folder) {
        std::unique_lock lock(mutex);
        while (!stop && wantedFolder == folder) {
            const std::uint64_t request = newest;
            const std::vector<std::string> held = wantedHeld;
            lock.unlock();
            std::vector<platform::DirEntry> files = list(folder, held);
            lock.lock();
            if (request == newest) {
                done = FolderFiles{folder, std::move(files)};
                break;
            }
        }
        listing.erase(folder);
        finished.notify_all();
    }
};

FolderListing::FolderListing(Lister list) : shared_(std::make_shared<Shared>(std::move(list))) {}

FolderListing::~FolderListing() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->finished.wait_for(lock, EndWait, [&] { return shared_->listing.empty(); });
}

void FolderListing::Request(const std::string& folder, std::vector<std::string> heldFiles) {
    std::lock_guard lock(shared_->mutex);
    ++shared_->newest;
    shared_->wantedFolder = folder;
    shared_->wantedHeld = std::move(heldFiles);
    shared_->done.reset();
    if (!shared_->listing.insert(folder).second)
        return;
    // Detached: each thread holds the shared state until it comes back.
    std::thread([shared = shared_, folder] { shared->Work(folder); }).detach();
}

std::optional<FolderFiles> FolderListing::Take() {
    std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->done, std::nullopt);
}
