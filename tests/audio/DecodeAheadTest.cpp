// Reading ahead of a playback: while the reader hangs (a stalled disk) the sound server's side
// keeps getting its answer at once, and once it comes back every frame arrives in order, once.

#include "audio/DecodeAhead.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Frames 0 to `total` - 1, each holding its number on both channels; reading past `stallAt`
// hangs until released.
struct StallingFile {
    std::mutex mutex;
    std::condition_variable released;
    bool stalled = true;
    int next = 0;
    int total = 0;
    int stallAt = 0;

    std::size_t Read(std::int16_t* out, std::size_t frames) {
        std::unique_lock lock(mutex);
        if (next >= stallAt)
            released.wait(lock, [&] { return !stalled; });
        else
            frames = std::min<std::size_t>(frames, stallAt - next); // a read ends at the stall
        std::size_t got = 0;
        for (; got < frames && next < total; ++got, ++next)
            out[2 * got] = out[2 * got + 1] = std::int16_t(next);
        return got;
    }
    void Release() {
        std::lock_guard lock(mutex);
        stalled = false;
        released.notify_all();
    }
};

audio::DecodeAhead::Reader ReaderOf(const std::shared_ptr<StallingFile>& file) {
    return [file](std::int16_t* out, std::size_t frames) { return file->Read(out, frames); };
}

// Take as the sound server's thread calls it; a Take that has not answered after a long while
// waits on the reader, which is the fault.
audio::PulledFrames TakeOrFail(audio::DecodeAhead& ahead, std::vector<std::int16_t>& out,
                               std::size_t frames) {
    out.assign(frames * 2, -1);
    auto taking = std::async(std::launch::async, [&] { return ahead.Take(out.data(), frames); });
    if (taking.wait_for(5s) != std::future_status::ready) {
        ADD_FAILURE() << "Take waited on the reader";
        std::abort(); // the future's end would wait too
    }
    return taking.get();
}

TEST(DecodeAhead, AHangingReadLeavesTakeAnsweringAndEveryFrameComesOnceInOrder) {
    auto file = std::make_shared<StallingFile>();
    file->total = 50'000;
    file->stallAt = 10'000;
    audio::DecodeAhead ahead(ReaderOf(file), 2, 4096);

    std::vector<int> heard;
    std::vector<std::int16_t> out;
    const auto takeAll = [&](int until) {
        for (int round = 0; round < 2000 && int(heard.size()) < until; ++round) {
            const auto taken = TakeOrFail(ahead, out, 1000);
            EXPECT_FALSE(taken.ended) << "ended at frame " << heard.size();
            for (std::size_t i = 0; i < taken.frames; ++i) {
                EXPECT_EQ(out[2 * i], out[2 * i + 1]);
                heard.push_back(out[2 * i]);
            }
            if (taken.frames == 0)
                std::this_thread::sleep_for(1ms);
        }
    };
    takeAll(file->stallAt);
    ASSERT_EQ(heard.size(), std::size_t(file->stallAt));
    for (int round = 0; round < 20; ++round) {
        const auto taken = TakeOrFail(ahead, out, 1000);
        EXPECT_EQ(taken.frames, 0u);
        EXPECT_FALSE(taken.ended) << "a hanging read is no end";
    }

    file->Release();
    takeAll(file->total);
    ASSERT_EQ(heard.size(), std::size_t(file->total));
    for (int frame = 0; frame < file->total; ++frame)
        ASSERT_EQ(heard[frame], std::int16_t(frame)) << "frame " << frame;
    audio::PulledFrames last;
    for (int round = 0; round < 1000 && !last.ended; ++round, std::this_thread::sleep_for(1ms))
        last = TakeOrFail(ahead, out, 1000);
    EXPECT_TRUE(last.ended);
    EXPECT_EQ(last.frames, 0u);
}

// The end does not wait for a read that hangs; what the reader holds stays alive for it and is
// let go once it comes back.
TEST(DecodeAhead, EndingWhileAReadHangsLeavesTheReadBehind) {
    auto file = std::make_shared<StallingFile>();
    file->total = 100;
    const std::weak_ptr<StallingFile> held = file;
    {
        auto ending = std::async(std::launch::async, [reader = ReaderOf(file)] {
            audio::DecodeAhead ahead(reader, 2, 4096);
            std::this_thread::sleep_for(50ms);
        });
        ASSERT_EQ(ending.wait_for(5s), std::future_status::ready) << "the end waited on the read";
    }
    file->Release();
    file.reset();
    for (int i = 0; i < 500 && !held.expired(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(held.expired()) << "the read that came back kept the reader";
}

} // namespace
