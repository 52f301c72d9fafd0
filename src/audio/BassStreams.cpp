// Creating and freeing streams.

#include "audio/Bass.h"
#include "audio/CarrierStream.h"
#include "audio/FileStream.h"
#include "audio/HandleTable.h"

#include <memory>

HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD flags, STREAMPROC* proc, void* user) {
    // Only carriers are offered: 16-bit, no flags, no procedure and so no user data for it. The
    // encoders take 1 or 2 channels at audio rates.
    if (flags != 0 || proc != STREAMPROC_DUMMY || user != nullptr || freq < 1000 || freq > 384000 ||
        chans < 1 || chans > 2)
        return 0;
    return audio::Handles().Add(std::make_shared<audio::CarrierStream>(freq, chans));
}

BOOL BASS_StreamFree(HSTREAM handle) {
    const auto channel = audio::Handles().Remove<audio::Channel>(handle);
    if (!channel)
        return false;
    channel->Stop();
    return true;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    if (mem || file == nullptr || offset != 0 || length != 0 || (flags & ~BASS_STREAM_DECODE) != 0)
        return 0;
    auto stream = audio::FileStream::Open(static_cast<const char*>(file), flags);
    return stream ? audio::Handles().Add(std::move(stream)) : 0;
}
