// The encoder calls: each finds the carrier, or the encoder, behind the handle and asks it.

#include "audio/BASSenc.h"

#include "audio/CarrierStream.h"
#include "audio/HandleTable.h"

namespace {

using audio::CarrierStream;
using audio::Handles;

// What an encoder's handle names: the encoder, owned by the carrier it is on. Once the carrier
// is freed, the handle names nothing and every call with it fails.
struct EncoderHandle : audio::Handled {
    EncoderHandle(HSTREAM carrier, std::weak_ptr<audio::EncoderProcess> encoder)
        : Carrier(carrier), Encoder(std::move(encoder)) {}
    const HSTREAM Carrier;
    const std::weak_ptr<audio::EncoderProcess> Encoder;
};

std::shared_ptr<audio::EncoderProcess> FindEncoder(DWORD handle) {
    const auto named = Handles().Find<EncoderHandle>(handle);
    return named ? named->Encoder.lock() : nullptr;
}

} // namespace

HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                          void* user) {
    // A carrier has no data of its own to feed automatically, so paused or not, its encoders get
    // only what BASS_Encode_Write sends; other flags, a procedure and its user data are refused.
    if ((flags & ~BASS_ENCODE_PAUSE) != 0 || proc != nullptr || user != nullptr ||
        cmdline == nullptr)
        return 0;
    const auto carrier = Handles().Find<CarrierStream>(handle);
    if (!carrier)
        return 0;
    auto encoder = carrier->StartEncoder(cmdline);
    if (!encoder)
        return 0;
    const HENCODE named = Handles().Add(std::make_shared<EncoderHandle>(handle, encoder));
    carrier->Attach(named, std::move(encoder));
    return named;
}

BOOL BASS_Encode_Write(DWORD handle, const void* buffer, DWORD length) {
    if (const auto carrier = Handles().Find<CarrierStream>(handle))
        return carrier->Write(buffer, length);
    const auto encoder = FindEncoder(handle);
    return encoder && encoder->Write(buffer, length);
}

QWORD BASS_Encode_GetCount(DWORD handle, DWORD count) {
    if (count != BASS_ENCODE_COUNT_QUEUE)
        return BASS_QWORD_ERROR;
    if (const auto carrier = Handles().Find<CarrierStream>(handle)) {
        const auto most = carrier->MostQueued();
        return most ? QWORD(*most) : BASS_QWORD_ERROR;
    }
    const auto encoder = FindEncoder(handle);
    return encoder ? QWORD(encoder->Queued()) : BASS_QWORD_ERROR;
}

BOOL BASS_Encode_Stop(DWORD handle) {
    std::vector<CarrierStream::Attached> stopping;
    if (const auto carrier = Handles().Find<CarrierStream>(handle)) {
        stopping = carrier->Detach(0);
    } else if (const auto named = Handles().Remove<EncoderHandle>(handle)) {
        if (const auto on = Handles().Find<CarrierStream>(named->Carrier))
            stopping = on->Detach(handle);
    }
    for (const auto& [named, encoder] : stopping)
        Handles().Remove<EncoderHandle>(named);
    bool clean = !stopping.empty();
    for (const auto& [named, encoder] : stopping)
        clean = encoder->Finish() && clean;
    return clean;
}
