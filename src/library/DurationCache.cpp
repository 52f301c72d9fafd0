#include "library/DurationCache.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* Heading = "Sonvera durations 1";

// "hh:mm:ss", as DurationText makes it.
bool IsDurationText(const std::string& text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return false;
    for (std::size_t i : {0, 1, 3, 4, 6, 7})
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

} // namespace

StoredDurations LoadDurationCache(const std::string& file) {
    StoredDurations durations;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != Heading)
        return durations;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        KnownRecording known;
        std::string path;
        if (fields >> known.size >> known.modifiedNanos >> known.durationText &&
            fields.get() == '\t' && std::getline(fields, path) && !path.empty() &&
            IsDurationText(known.durationText))
            durations[path] = std::move(known);
    }
    return durations;
}

bool SaveDurationCache(const std::string& file, const StoredDurations& durations) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(file).parent_path(), error);
    const std::string temporary = file + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << Heading << '\n';
        for (const auto& [path, known] : durations) {
            if (path.find('\n') != std::string::npos)
                continue; // a line each
            out << known.size << '\t' << known.modifiedNanos << '\t' << known.durationText << '\t'
                << path << '\n';
        }
        if (!out.flush())
            return false;
    }
    fs::rename(temporary, file, error);
    return !error;
}
