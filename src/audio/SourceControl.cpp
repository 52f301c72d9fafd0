#include "audio/SourceControl.h"

#include <cmath>

namespace audio {

namespace {

struct Query {
    PulseConnection* pulse;
    std::optional<SourceState> state;
    bool success = false;
};

void Done(pa_context*, int success, void* q) {
    auto* query = static_cast<Query*>(q);
    query->success = success != 0;
    query->pulse->Signal();
}

// Runs one setting operation on the server and waits for its answer.
template <typename Start> bool RunSetting(PulseConnection& pulse, Start start) {
    Query query{&pulse, {}, false};
    PulseConnection::Lock lock(pulse);
    pa_context* context = pulse.Context();
    if (context == nullptr)
        return false;
    pulse.Wait(start(context, &query));
    return query.success;
}

} // namespace

std::optional<SourceState> ReadSource(PulseConnection& pulse, const std::string& name) {
    Query query{&pulse, {}, false};
    PulseConnection::Lock lock(pulse);
    pa_context* context = pulse.Context();
    if (context == nullptr)
        return std::nullopt;
    pulse.Wait(pa_context_get_source_info_by_name(
        context, name.c_str(),
        [](pa_context*, const pa_source_info* info, int eol, void* q) {
            auto* query = static_cast<Query*>(q);
            if (eol == 0 && info != nullptr) {
                SourceState state;
                state.description = info->description != nullptr ? info->description : info->name;
                for (std::uint32_t i = 0; i < info->n_ports; ++i) {
                    state.ports.push_back({info->ports[i]->name, info->ports[i]->description});
                    if (info->ports[i] == info->active_port)
                        state.activePort = int(i);
                }
                state.volume = float(pa_cvolume_avg(&info->volume)) / float(PA_VOLUME_NORM);
                state.muted = info->mute != 0;
                state.channels = info->channel_map.channels;
                query->state = std::move(state);
            }
            if (eol != 0)
                query->pulse->Signal();
        },
        &query));
    return query.state;
}

bool SetSourcePort(PulseConnection& pulse, const std::string& name, const std::string& port) {
    return RunSetting(pulse, [&](pa_context* context, Query* query) {
        return pa_context_set_source_port_by_name(context, name.c_str(), port.c_str(), &Done,
                                                  query);
    });
}

bool SetSourceVolume(PulseConnection& pulse, const std::string& name, std::uint8_t channels,
                     float volume) {
    pa_cvolume cv;
    pa_cvolume_set(&cv, channels, pa_volume_t(std::lround(double(volume) * PA_VOLUME_NORM)));
    return RunSetting(pulse, [&](pa_context* context, Query* query) {
        return pa_context_set_source_volume_by_name(context, name.c_str(), &cv, &Done, query);
    });
}

bool SetSourceMute(PulseConnection& pulse, const std::string& name, bool muted) {
    return RunSetting(pulse, [&](pa_context* context, Query* query) {
        return pa_context_set_source_mute_by_name(context, name.c_str(), muted ? 1 : 0, &Done,
                                                  query);
    });
}

} // namespace audio
