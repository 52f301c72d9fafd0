#include "library/DurationProbe.h"

#include "audio/Bass.h"
#include "audio/MpegLength.h"
#include "library/ListTexts.h"

std::string ProbeDuration(const std::string& path) {
    if (const auto seconds = audio::MpegFileSeconds(path))
        return DurationText(*seconds);
    const HSTREAM stream = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    if (stream == 0) {
        return DurationText(-1);
    }
    // The full 64-bit length: recordings of 4 GiB and more keep their true duration.
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    const double seconds =
        length == BASS_QWORD_ERROR ? -1 : BASS_ChannelBytes2Seconds(stream, length);
    BASS_StreamFree(stream);
    return DurationText(seconds);
}
