// A lookup that hangs (a stalled mount) holds the caller only a moment, and never more than one
// thread.

#include "platform/TimedPathLookup.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Result = platform::PathLookup::Result;

struct Mount {
    std::mutex mutex;
    std::condition_variable released;
    bool stalled = true;
    std::atomic<int> looks = 0;

    platform::PathLookup LookUp(const std::string& path) {
        ++looks;
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return !stalled; });
        return {Result::Found, {1, path.size()}};
    }
    void Release() {
        std::lock_guard lock(mutex);
        stalled = false;
        released.notify_all();
    }
};

TEST(TimedPathLookup, AHangingLookIsUnknownUntilItComesBackAndNeverDoubled) {
    auto mount = std::make_shared<Mount>();
    platform::TimedPathLookup lookup(
        [mount](const std::string& path) { return mount->LookUp(path); });
    for (int tick = 0; tick < 3; ++tick) {
        auto looked = std::async(std::launch::async, [&] { return lookup.Look("/mnt/a.wav"); });
        ASSERT_EQ(looked.wait_for(5s), std::future_status::ready) << "the look waited on the mount";
        EXPECT_EQ(looked.get().Outcome, Result::Unknown);
    }
    EXPECT_EQ(mount->looks, 1);

    mount->Release();
    platform::PathLookup answer;
    for (int tick = 0; tick < 100 && answer.Outcome == Result::Unknown; ++tick) {
        answer = lookup.Look("/mnt/a.wav");
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(answer.Outcome, Result::Found);
    EXPECT_EQ(answer.Identity, (platform::FileIdentity{1, 10}));
}

} // namespace
