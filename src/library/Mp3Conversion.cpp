#include "library/Mp3Conversion.h"

#include "audio/BASSenc.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace {

// About six seconds of CD audio waiting for the encoder: enough that it never runs dry, small
// enough that finishing after the last block (or a cancel) takes no time.
constexpr QWORD EncoderBacklogLimit = 1024 * 1024;

} // namespace

std::string PartialMp3Path(const std::string& target) {
    const std::size_t slash = target.rfind(platform::PathSeparator);
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, name) + "." + target.substr(name) + ".part";
}

Mp3Conversion::Mp3Conversion(const RecordingSettings& settings, const std::string& source,
                             const std::string& target, std::uint32_t rate, std::uint32_t channels)
    : source_(source), target_(target), partial_(PartialMp3Path(target)) {
    decode_ = BASS_StreamCreateFile(false, source.c_str(), 0, 0, BASS_STREAM_DECODE);
    carrier_ = BASS_StreamCreate(rate, channels, 0, STREAMPROC_DUMMY, nullptr);
    commandLine_ = BuildLameCommandLine(settings, partial_);
    encoder_ =
        BASS_Encode_Start(carrier_, commandLine_.c_str(), BASS_ENCODE_PAUSE, nullptr, nullptr);
}

Mp3Conversion::~Mp3Conversion() {
    Finish(false);
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
    // An encoder that ended early has lost this block, and with it the conversion.
    if (encoder_ != 0 && !BASS_Encode_Write(carrier_, buffer_.data(), n))
        encoderFailed_ = true;
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

bool Mp3Conversion::Finish(bool keep) {
    if (finished_)
        return false;
    finished_ = true;
    if (encoder_ != 0 && !BASS_Encode_Stop(carrier_))
        encoderFailed_ = true;
    BASS_StreamFree(decode_);
    BASS_StreamFree(carrier_);
    if (keep && encoder_ != 0) {
        if (decode_ == 0)
            failure_ =
                PlainMessage("Could not read " + source_ + " as audio; it was not converted.");
        else if (encoderFailed_)
            failure_ = PlainMessage("The MP3 encoder stopped before the end of " + source_ +
                                    "; the conversion was not completed.");
        else if (!platform::RenameFile(partial_, target_, true))
            failure_ = PlainMessage("Could not put the new MP3 file in place of " + target_ + ".");
        else
            return true;
    }
    platform::DeleteFile(partial_);
    return false;
}
