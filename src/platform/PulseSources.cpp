#include "platform/PulseSources.h"

#include <algorithm>

namespace platform {

namespace {

struct Listing {
    PulseConnection* pulse;
    std::string defaultName;
    std::vector<PulseSource> sources;
};

} // namespace

std::vector<PulseSource> ListSources(PulseConnection& pulse, const std::string& first) {
    pa_context* context = pulse.Context();
    if (context == nullptr)
        return {};
    Listing listing{&pulse, {}, {}};
    pulse.Wait(pa_context_get_server_info(
        context,
        [](pa_context*, const pa_server_info* info, void* l) {
            auto* listing = static_cast<Listing*>(l);
            if (info != nullptr && info->default_source_name != nullptr)
                listing->defaultName = info->default_source_name;
            listing->pulse->Signal();
        },
        &listing));
    pulse.Wait(pa_context_get_source_info_list(
        context,
        [](pa_context*, const pa_source_info* info, int eol, void* l) {
            auto* listing = static_cast<Listing*>(l);
            if (eol == 0 && info != nullptr)
                listing->sources.push_back(
                    {info->name, info->description != nullptr && *info->description
                                     ? info->description
                                     : info->name});
            else
                listing->pulse->Signal();
        },
        &listing));
    std::vector<PulseSource>& sources = listing.sources;
    const auto named = [&](const std::string& name) {
        return std::find_if(sources.begin(), sources.end(),
                            [&](const PulseSource& s) { return s.name == name; });
    };
    auto front = named(first.empty() ? listing.defaultName : first);
    if (front == sources.end())
        front = named(listing.defaultName);
    if (front != sources.end())
        std::rotate(sources.begin(), front, front + 1);
    return sources;
}

} // namespace platform
