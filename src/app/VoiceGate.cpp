#include "app/VoiceGate.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float FullScale = 32767;
constexpr std::int32_t LongestPreRollMs = 60000;

} // namespace

void VoiceGate::Arm(const RecordingSettings& settings) {
    const double threshold = std::clamp(settings.VoiceThreshold, -96, 0);
    thresholdPeak_ = static_cast<float>(FullScale * std::pow(10.0, threshold / 20.0));
    preRollMs_ = std::clamp(settings.VoicePreRoll, 0, LongestPreRollMs);
    hangMs_ = std::max(settings.VoiceHangTime, 0);
    TakeKept();
}

bool VoiceGate::Wait(std::span<const std::uint8_t> output, float peak, double blockMs) {
    kept_.push_back({{output.begin(), output.end()}, blockMs});
    keptMs_ += blockMs;
    heard_ = heard_ || peak >= thresholdPeak_;
    // Before the sound, no more than the shortest run of the latest blocks that lasts PreRoll.
    while (!heard_ && !kept_.empty() && keptMs_ - kept_.front().ms >= preRollMs_) {
        keptMs_ -= kept_.front().ms;
        kept_.pop_front();
    }
    return heard_;
}

std::vector<std::vector<std::uint8_t>> VoiceGate::TakeKept() {
    std::vector<std::vector<std::uint8_t>> blocks;
    for (Kept& block : kept_)
        blocks.push_back(std::move(block.bytes));
    kept_.clear();
    keptMs_ = 0;
    heard_ = false;
    silentMs_ = 0;
    return blocks;
}

bool VoiceGate::Silent(float peak, double blockMs) {
    silentMs_ = peak >= thresholdPeak_ ? 0 : silentMs_ + blockMs;
    return silentMs_ >= hangMs_;
}
