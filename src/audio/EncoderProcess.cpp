#include "audio/EncoderProcess.h"

#include "audio/WavHeader.h"
#include "platform/CommandLine.h"

namespace audio {

namespace {

// About 95 s of CD audio: an encoder that far behind (they run 100x real time) is stuck.
constexpr std::size_t QueueBytes = 16 * 1024 * 1024;
// How long an encoder may take no input, or take to end after its input closed.
constexpr std::chrono::seconds StallLimit{10};
constexpr std::chrono::seconds EndLimit{30};

} // namespace

std::unique_ptr<EncoderProcess> EncoderProcess::Start(const std::string& commandLine,
                                                      std::uint32_t rate, std::uint32_t channels) {
    std::unique_ptr<EncoderProcess> encoder(new EncoderProcess);
    if (platform::StartWithStdinPipe(platform::SplitCommandLine(commandLine), encoder->process_) !=
        0)
        return nullptr;
    const int fd = encoder->process_.StdinFd;
    encoder->feed_ = std::make_unique<FeedThread>(
        [fd](std::span<const std::uint8_t> bytes) {
            return platform::WriteToChild(fd, bytes.data(), bytes.size()) == 0;
        },
        QueueBytes);
    // Data size 0 makes the encoders read to the end of their input (a real size makes them
    // stop there).
    const WavHeaderBytes header = MakeWavHeader(rate, std::int32_t(channels), 16, 0);
    encoder->feed_->Push(header.data(), header.size());
    return encoder;
}

EncoderProcess::~EncoderProcess() {
    Finish();
}

bool EncoderProcess::Write(const void* data, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    return feed_ && feed_->Push(data, bytes);
}

std::size_t EncoderProcess::Queued() const {
    std::lock_guard lock(mutex_);
    return feed_ ? feed_->Queued() : 0;
}

bool EncoderProcess::Finish() {
    std::lock_guard finishing(finish_);
    std::unique_ptr<FeedThread> feed;
    {
        std::lock_guard lock(mutex_);
        feed = std::move(feed_);
    }
    if (!feed)
        return clean_;
    clean_ = feed->Finish(StallLimit);
    if (!clean_) {
        // Stuck or failed: killing it also frees a feed thread blocked in a write.
        platform::KillChild(process_);
    }
    feed.reset();
    platform::CloseChildInput(process_);
    if (!platform::WaitForChild(process_, EndLimit)) {
        platform::KillChild(process_);
        clean_ = false;
    }
    return clean_;
}

} // namespace audio
