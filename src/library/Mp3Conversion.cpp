#include "library/Mp3Conversion.h"

#include "audio/BASSenc.h"

#include <algorithm>

namespace {

// About six seconds of CD audio waiting for the encoder: enough that it never runs dry, small
// enough that finishing after the last block (or a cancel) takes no time.
constexpr QWORD EncoderBacklogLimit = 1024 * 1024;

} // namespace

Mp3Conversion::Mp3Conversion(const RecordingSettings& settings, const std::string& source,
                             const std::string& target, std::uint32_t rate,
                             std::uint32_t channels) {
    decode_ = BASS_StreamCreateFile(false, source.c_str(), 0, 0, BASS_STREAM_DECODE);
    carrier_ = BASS_StreamCreate(rate, channels, 0, STREAMPROC_DUMMY, nullptr);
    commandLine_ = BuildLameCommandLine(settings, target);
    encoder_ =
        BASS_Encode_Start(carrier_, commandLine_.c_str(), BASS_ENCODE_PAUSE, nullptr, nullptr);
}

Mp3Conversion::~Mp3Conversion() {
    Finish();
}

bool Mp3Conversion::Active() const {
    return !finished_ && !readEnded_ && BASS_ChannelIsActive(decode_) != BASS_ACTIVE_STOPPED;
}

void Mp3Conversion::Step() {
    const DWORD n = BASS_ChannelGetData(decode_, buffer_.data(), ConvertBlockBytes);
    if (n == 0 || n == BASS_DWORD_ERROR) {
        readEnded_ = true;
        return;
    }
    BASS_Encode_Write(carrier_, buffer_.data(), n);
}

bool Mp3Conversion::EncoderBehind() const {
    const QWORD queued = BASS_Encode_GetCount(carrier_, BASS_ENCODE_COUNT_QUEUE);
    return queued != BASS_QWORD_ERROR && queued > EncoderBacklogLimit;
}

int Mp3Conversion::Percent() const {
    const QWORD position = BASS_ChannelGetPosition(decode_, BASS_POS_BYTE);
    const QWORD length = BASS_ChannelGetLength(decode_, BASS_POS_BYTE);
    if (position == BASS_QWORD_ERROR || length == BASS_QWORD_ERROR || length == 0)
        return 0;
    return static_cast<int>(std::min<QWORD>(position, length) * 100 / length);
}

void Mp3Conversion::Finish() {
    if (finished_)
        return;
    finished_ = true;
    BASS_Encode_Stop(carrier_);
    BASS_StreamFree(decode_);
    BASS_StreamFree(carrier_);
}
