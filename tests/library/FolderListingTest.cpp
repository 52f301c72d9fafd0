// The output folder listed off the window thread: a listing that hangs (a stalled mount) holds
// neither the caller nor another folder's listing, and only the newest request's listing comes
// back.

#include "library/FolderListing.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A lister whose folder "stalled" hangs until released; each listing names the folder and
// carries the held files it was asked with as its entries.
struct Disk {
    std::mutex mutex;
    std::condition_variable released;
    bool stalled = true;
    std::map<std::string, int> listings; // begun, by folder

    std::vector<platform::DirEntry> List(const std::string& folder,
                                         const std::vector<std::string>& held) {
        std::unique_lock lock(mutex);
        ++listings[folder];
        if (folder == "stalled")
            released.wait(lock, [&] { return !stalled; });
        std::vector<platform::DirEntry> files;
        for (const std::string& name : held)
            files.push_back({name});
        return files;
    }
    void Release() {
        std::lock_guard lock(mutex);
        stalled = false;
        released.notify_all();
    }
    int Listings(const std::string& folder) {
        std::lock_guard lock(mutex);
        return listings[folder];
    }
};

FolderListing::Lister On(const std::shared_ptr<Disk>& disk) {
    return [disk](const std::string& folder, const std::vector<std::string>& held) {
        return disk->List(folder, held);
    };
}

std::optional<FolderFiles> Await(FolderListing& listing) {
    for (int i = 0; i < 500; ++i) {
        if (auto files = listing.Take())
            return files;
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

std::vector<std::string> Names(const FolderFiles& listed) {
    std::vector<std::string> names;
    for (const platform::DirEntry& file : listed.files)
        names.push_back(file.name);
    return names;
}

TEST(FolderListing, AStalledFolderHoldsNeitherTheCallerNorAnotherFolderNorTheEnd) {
    auto disk = std::make_shared<Disk>();
    {
        FolderListing listing(On(disk));
        listing.Request("stalled", {"a"});
        listing.Request("stalled", {"b"});
        std::this_thread::sleep_for(50ms);
        EXPECT_FALSE(listing.Take());
        EXPECT_EQ(disk->Listings("stalled"), 1) << "a second thread waits on the same mount";

        listing.Request("other", {"c"});
        const auto other = Await(listing);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->folder, "other");
        EXPECT_EQ(Names(*other), std::vector<std::string>{"c"});
        // Ends (after a moment) although a thread still hangs in the stalled folder.
    }
    disk->Release();
}

TEST(FolderListing, RequestsDuringAListingAreAnsweredByOneListingMoreWithTheNewestHeldFiles) {
    auto disk = std::make_shared<Disk>();
    FolderListing listing(On(disk));
    listing.Request("stalled", {"a"});
    while (disk->Listings("stalled") == 0)
        std::this_thread::sleep_for(1ms);
    listing.Request("elsewhere", {"b"});
    listing.Request("stalled", {"c"});
    listing.Request("stalled", {"d"});
    disk->Release();
    const auto listed = Await(listing);
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->folder, "stalled");
    EXPECT_EQ(Names(*listed), std::vector<std::string>{"d"});
    EXPECT_EQ(disk->Listings("stalled"), 2);
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(listing.Take()) << "the listing of an older request came back";
}

} // namespace
