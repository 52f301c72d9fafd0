// A lookup that hangs (a stalled mount) holds the caller only a moment, and never more than one
// thread; a job that keeps answering (a name pick in a large folder) is waited for to its end.

#include "platform/TimedPathLookup.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

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

TEST(TimedPathLookup, EveryLookRunsOnOneThread) {
    std::mutex mutex;
    std::set<pid_t> threads; // kernel ids: a thread's std::thread::id may be reused after it ends
    platform::TimedPathLookup lookup([&](const std::string&) {
        std::lock_guard lock(mutex);
        threads.insert(gettid());
        return platform::PathLookup{Result::Missing, {}};
    });
    for (int look = 0; look < 20; ++look)
        ASSERT_EQ(lookup.Look("/tmp/none").Outcome, Result::Missing);
    EXPECT_EQ(threads.size(), 1u);
}

// A job is given up only after a moment without an answer, however long it runs in all.
TEST(TimedPathLookup, AJobIsWaitedForWhileItAnswers) {
    struct Case {
        int answers; // before it stalls, or in all when it does not
        bool stalls;
    };
    for (const Case c : {Case{12, false}, Case{3, true}}) {
        platform::TimedPathLookup lookup;
        auto mount = std::make_shared<Mount>();
        auto done = std::make_shared<std::atomic<int>>(0);
        const auto start = std::chrono::steady_clock::now();
        const bool answered = lookup.Run([c, mount, done](const auto& answer) {
            for (int look = 0; look < c.answers; ++look) {
                std::this_thread::sleep_for(40ms); // several looks make a moment, none alone
                answer();
                ++*done;
            }
            if (c.stalls)
                mount->LookUp("/mnt/a.wav");
        });
        EXPECT_EQ(answered, !c.stalls);
        EXPECT_EQ(*done, c.answers);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        // While the stalled job is out, the next is refused at once.
        EXPECT_EQ(lookup.Run([](const auto&) {}), !c.stalls);
        mount->Release();
    }
}

} // namespace
