#include "audio/DecodeAhead.h"

#include "platform/ByteRing.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
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
        : read(std::move(reader)), channels(channelCount), frameBytes(channels * 2),
          ring(std::max(aheadFrames, ChunkFrames) * frameBytes) {}

    const Reader read;
    const std::uint32_t channels;
    const std::size_t frameBytes;
    std::mutex mutex;             // never held while reading
    std::condition_variable room; // frames were taken, or the end
    std::condition_variable finished;
    platform::ByteRing ring; // whole frames ready
    bool readerEnded = false;
    bool stop = false;
    bool running = true;

    void Work() {
        std::vector<std::int16_t> chunk(ChunkFrames * channels);
        std::unique_lock lock(mutex);
        while (!stop) {
            room.wait(lock, [&] { return stop || ring.Room() >= ChunkFrames * frameBytes; });
            if (stop)
                break;
            lock.unlock();
            const std::size_t got = read(chunk.data(), ChunkFrames);
            lock.lock();
            if (got == 0) {
                readerEnded = true;
                break;
            }
            ring.Write(chunk.data(), got * frameBytes);
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

PulledFrames DecodeAhead::Take(std::int16_t* out, std::size_t frames) {
    Shared& s = *shared_;
    std::lock_guard lock(s.mutex);
    const std::size_t count =
        s.ring.Read(out, std::min(frames, s.ring.Size() / s.frameBytes) * s.frameBytes) /
        s.frameBytes;
    if (count > 0)
        s.room.notify_one();
    return {count, s.readerEnded && s.ring.Size() == 0};
}

} // namespace audio
