#include "app/FormatLabel.h"

#include "engine/Numbers.h"

namespace {

std::string Mp3ModeWord(std::int32_t mode) {
    switch (mode) {
    case 1:
        return "joint stereo";
    case 2:
        return "dual channel";
    case 3:
        return "mono";
    default:
        return "stereo";
    }
}

} // namespace

FormatLabel DescribeFormat(const RecordingSettings& settings) {
    const std::string mode = settings.Channels == 2 ? "stereo" : "mono";
    FormatLabel label{FormatIcon::Wav, ""};
    if (settings.Wav)
        label = {FormatIcon::Wav, "WAV " + std::to_string(settings.SamplesPerSecond) + "Hz " +
                                      std::to_string(settings.BitsPerSample) + "bit " + mode};
    if (settings.MP3)
        label = {FormatIcon::MP3, settings.VBR ? "MP3   VBR  " + Mp3ModeWord(settings.Mode)
                                               : "MP3 " + std::to_string(settings.BitRate) +
                                                     " kbps " + Mp3ModeWord(settings.Mode)};
    if (settings.WMA)
        label = {FormatIcon::WMA, "WMA " + std::to_string(settings.WMARate) + " kbps " + mode};
    if (settings.OGG)
        label = {FormatIcon::Ogg,
                 settings.QualityMode
                     ? "OGG Quality - " + ShortestDecimal(settings.OggQuality) + " " + mode
                     : "OGG " + std::to_string(settings.OggRate) + " kbps " + mode};
    return label;
}
