#include "app/RecordingPart.h"

#include <algorithm>

bool PartFull(const RecordingSettings& settings, const RecordingPart& part,
              std::uint64_t fileBytesAfterBlock) {
    if (part.Frames == 0)
        return false;
    const std::uint64_t minutes = static_cast<std::uint64_t>(std::max(settings.SplitMinutes, 0));
    const std::uint64_t megabytes =
        static_cast<std::uint64_t>(std::max(settings.SplitMegabytes, 0));
    return (minutes > 0 && part.Frames >= minutes * 60 * OutputRate(settings)) ||
           (megabytes > 0 && fileBytesAfterBlock > megabytes * SplitMegabyte);
}

double MarkerSeconds(const RecordingSettings& settings, const RecordingPart& part,
                     std::uint32_t now, bool paused) {
    const double rate = OutputRate(settings);
    const double blockMs = 1000.0 * settings.BlockFrames / rate;
    const double sinceBlock = paused ? 0.0 : std::min<double>(now - part.LastBlockTick, blockMs);
    return part.Frames / rate + sinceBlock / 1000.0;
}
