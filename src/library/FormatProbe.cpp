#include "library/FormatProbe.h"

#include "audio/Bass.h"

FileFormat ProbeFileFormat(const std::string& path) {
    FileFormat format;
    const HSTREAM stream = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    if (stream == 0) {
        return format;
    }
    BASS_CHANNELINFO info;
    if (BASS_ChannelGetInfo(stream, &info)) {
        format.Rate = info.freq;
        format.Channels = info.chans;
        format.Bits = (info.flags & BASS_SAMPLE_8BITS) != 0 ? 8 : 16;
    }
    BASS_StreamFree(stream);
    return format;
}

bool IsConvertibleFormat(const FileFormat& format) {
    return format.Bits == 16 &&
           (format.Rate == 32000 || format.Rate == 44100 || format.Rate == 48000);
}
