// The WMA calls: each finds the encoder behind the handle and asks it.

#include "audio/BassWMA.h"

#include "audio/WmaEncoder.h"

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// The rates a WMA encoder usually offers; those the encoder takes at the format are listed.
constexpr DWORD CandidateKbps[] = {320, 256, 192, 160, 128, 96, 80, 64, 48, 40, 32, 24};

} // namespace

const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD chans, DWORD flags) {
    // No flag (VBR, for one) is offered.
    if (flags != 0)
        return nullptr;
    static std::mutex mutex;
    static std::map<std::pair<DWORD, DWORD>, std::vector<DWORD>> lists;
    std::lock_guard lock(mutex);
    auto [it, added] = lists.try_emplace({freq, chans});
    std::vector<DWORD>& rates = it->second;
    if (added) {
        for (DWORD kbps : CandidateKbps)
            if (audio::WmaEncoder::Accepts(freq, chans, kbps * 1000))
                rates.push_back(kbps * 1000);
        if (!rates.empty())
            rates.push_back(0);
    }
    return rates.empty() ? nullptr : rates.data();
}

HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate,
                                  const char* file) {
    // Only 16-bit PCM is taken and no flag (tags, VBR, a queue of its own) is offered.
    if (flags != 0 || file == nullptr)
        return 0;
    auto encoder = audio::WmaEncoder::Open(freq, chans, bitrate, file);
    return encoder ? audio::Handles().Add(std::move(encoder)) : 0;
}

BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) {
    const auto encoder = audio::Handles().Find<audio::WmaEncoder>(handle);
    return encoder && encoder->Write(buffer, length);
}

BOOL BASS_WMA_EncodeClose(HWMENCODE handle) {
    const auto encoder = audio::Handles().Remove<audio::WmaEncoder>(handle);
    if (!encoder)
        return false;
    if (const int error = encoder->Close()) {
        errno = error;
        return false;
    }
    return true;
}
