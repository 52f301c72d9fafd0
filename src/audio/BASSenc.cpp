#include "audio/BASSenc.h"

#include "audio/FeedThread.h"
#include "platform/CommandLine.h"
#include "platform/Process.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// About 95 s of CD audio: an encoder that far behind (they run 100x real time) is stuck.
constexpr std::size_t QueueBytes = 16 * 1024 * 1024;
// How long an encoder may take no input, or take to end after its input closed.
constexpr std::chrono::seconds StallLimit{10};
constexpr std::chrono::seconds EndLimit{30};

struct Encoder {
    HENCODE Handle = 0;
    DWORD Carrier = 0;
    platform::ChildProcess Process;
    std::unique_ptr<audio::FeedThread> Feed;
};

std::mutex encodersMutex;
std::vector<std::unique_ptr<Encoder>> encoders;
// Apart from the stream handles, so a handle names either a carrier or one encoder.
HENCODE nextHandle = 0x40000001;

// The header the encoders read ahead of live PCM: data size 0 and RIFF size 36 make them read
// to the end of input (a real size makes them stop there).
std::array<std::uint8_t, 44> LiveWavHeader(const BASS_CHANNELINFO& info) {
    const DWORD bits = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    const DWORD align = info.chans * bits / 8;
    std::array<std::uint8_t, 44> h{};
    auto put = [&](std::size_t at, DWORD value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    auto text = [&](std::size_t at, const char* s) {
        for (int i = 0; i < 4; ++i)
            h[at + i] = static_cast<std::uint8_t>(s[i]);
    };
    text(0, "RIFF");
    put(4, 36, 4);
    text(8, "WAVE");
    text(12, "fmt ");
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, info.chans, 2);
    put(24, info.freq, 4);
    put(28, info.freq * align, 4);
    put(32, align, 2);
    put(34, bits, 2);
    text(36, "data");
    put(40, 0, 4);
    return h;
}

// True when the encoder took all its input and ended on its own.
bool Finish(Encoder& encoder) {
    bool clean = encoder.Feed->Finish(StallLimit);
    if (!clean) {
        // Stuck or failed: killing it also frees a feed thread blocked in a write.
        platform::KillChild(encoder.Process);
    }
    encoder.Feed.reset();
    platform::CloseChildInput(encoder.Process);
    if (!platform::WaitForChild(encoder.Process, EndLimit)) {
        platform::KillChild(encoder.Process);
        clean = false;
    }
    return clean;
}

} // namespace

HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                          void* user) {
    (void)flags;
    (void)user;
    BASS_CHANNELINFO info;
    if (proc != nullptr || cmdline == nullptr || !BASS_ChannelGetInfo(handle, &info))
        return 0;

    auto encoder = std::make_unique<Encoder>();
    if (platform::StartWithStdinPipe(platform::SplitCommandLine(cmdline), encoder->Process) != 0)
        return 0;
    const int fd = encoder->Process.StdinFd;
    encoder->Feed = std::make_unique<audio::FeedThread>(
        [fd](std::span<const std::uint8_t> bytes) {
            return platform::WriteToChild(fd, bytes.data(), bytes.size()) == 0;
        },
        QueueBytes);
    const auto header = LiveWavHeader(info);
    encoder->Feed->Push(header.data(), header.size());
    encoder->Carrier = handle;

    std::lock_guard lock(encodersMutex);
    encoder->Handle = nextHandle++;
    encoders.push_back(std::move(encoder));
    return encoders.back()->Handle;
}

BOOL BASS_Encode_Write(DWORD handle, const void* buffer, DWORD length) {
    std::lock_guard lock(encodersMutex);
    bool any = false;
    bool all = true;
    for (auto& encoder : encoders) {
        if (encoder->Carrier != handle && encoder->Handle != handle)
            continue;
        any = true;
        if (!encoder->Feed->Push(buffer, length))
            all = false;
    }
    return any && all;
}

QWORD BASS_Encode_GetCount(DWORD handle, DWORD count) {
    if (count != BASS_ENCODE_COUNT_QUEUE)
        return BASS_QWORD_ERROR;
    std::lock_guard lock(encodersMutex);
    bool any = false;
    QWORD most = 0;
    for (auto& encoder : encoders) {
        if (encoder->Carrier != handle && encoder->Handle != handle)
            continue;
        any = true;
        most = std::max<QWORD>(most, encoder->Feed->Queued());
    }
    return any ? most : BASS_QWORD_ERROR;
}

BOOL BASS_Encode_Stop(DWORD handle) {
    std::vector<std::unique_ptr<Encoder>> stopping;
    {
        std::lock_guard lock(encodersMutex);
        for (auto it = encoders.begin(); it != encoders.end();) {
            if ((*it)->Carrier == handle || (*it)->Handle == handle) {
                stopping.push_back(std::move(*it));
                it = encoders.erase(it);
            } else {
                ++it;
            }
        }
    }
    bool clean = !stopping.empty();
    for (auto& encoder : stopping)
        clean = Finish(*encoder) && clean;
    return clean;
}
