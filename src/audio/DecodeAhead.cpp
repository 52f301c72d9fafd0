#include "audio/DecodeAhead.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

namespace {

// Frames read at a time: small next to the ring, large enough that a read costs little.
constexpr std::size_t ChunkFrames = 4096;
// How long the end waits for a read under way.
constexpr std::chrono::milliseconds EndWait{200};

} // namespace

struct DecodeAhead::Shared {
    Shared(Reader reader, std::uint32_t channelCount, std::size_t aheadFrames)
        : read(std::move(reader)), channels(channelCount),
          capacity(std::max(aheadFrames, ChunkFrames)), ring(capacity * channels) {}

    const Reader read;
    const std::uint32_t channels;
    const std::size_t capacity;   // frames
    std::mutex mutex;             // never held while reading
    std::condition_variable room; // frames were taken, or the end
    std::condition_variable finished;
    std::vector<std::int16_t> ring;
    std::size_t first = 0;  // the frame slot taken next
    std::size_t filled = 0; // frames ready
    bool readerEnded = false;
    bool stop = false;
    bool running = true;

    // Copies `frames` frames into the ring behind those ready; with the lock held.
    void Put(const std::int16_t* in, std::size_t frames) {
        std::size_t slot = (first + filled) % capacity;
        for (std::size_t left = frames; left > 0;) {
            const std::size_t run = std::min(left, capacity - slot);
            std::memcpy(&ring[slot * channels], in, run * channels * sizeof(std::int16_t));
            in += run * channels;
            left -= run;
            slot = 0;
        }
        filled += frames;
    }

    void Work() {
        std::vector<std::int16_t> chunk(ChunkFrames * channels);
        std::unique_lock lock(mutex);
        while (!stop) {
            room.wait(lock, [&] { return stop || capacity - filled >= ChunkFrames; });
            if (stop)
                break;
            lock.unlock();
            const std::size_t got = read(chunk.data(), ChunkFrames);
            lock.lock();
            if (got == 0) {
                readerEnded = true;
                break;
            }
            Put(chunk.data(), got);
        }
        running = false;
        finished.notify_all();
    }
};

DecodeAhead::DecodeAhead(Reader read, std::uint32_t channels, std::size_t aheadFrames)
    : shared_(std::make_shared<Shared>(std::move(read), channels, aheadFrames)) {
    std::thread([shared = shared_] { shared->Work(); }).detach();
}

DecodeAhead::~DecodeAhead() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->room.notify_all();
    shared_->finished.wait_for(lock, EndWait, [&] { return !shared_->running; });
}

DecodeAhead::Taken DecodeAhead::Take(std::int16_t* out, std::size_t frames) {
    Shared& s = *shared_;
    std::lock_guard lock(s.mutex);
    const std::size_t count = std::min(frames, s.filled);
    for (std::size_t left = count; left > 0;) {
        const std::size_t run = std::min(left, s.capacity - s.first);
        std::memcpy(out, &s.ring[s.first * s.channels], run * s.channels * sizeof(std::int16_t));
        out += run * s.channels;
        left -= run;
        s.first = (s.first + run) % s.capacity;
        s.filled -= run;
    }
    if (count > 0)
        s.room.notify_one();
    return {count, s.readerEnded && s.filled == 0};
}

} // namespace audio
