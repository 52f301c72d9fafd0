#include "library/RecordNames.h"

#include "platform/FileSystem.h"

#include <array>

namespace {

constexpr int LastRecordNumber = 100000;
constexpr std::array<const char*, 4> RecordExtensions = {".wav", ".mp3", ".wma", ".ogg"};

} // namespace

std::string RecordNumberText(int number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

bool MakeNextRecordFileName(const RecordingSettings& settings, LibraryState& state,
                            const std::string& given) {
    state.CurrentFile.clear();
    std::string extension;
    if (settings.Wav) {
        extension = ".wav";
    }
    if (settings.MP3) {
        extension = ".mp3";
    }
    if (settings.WMA) {
        extension = ".wma";
    }
    if (settings.OGG) {
        extension = ".ogg";
    }
    if (extension.empty()) {
        return false;
    }
    const std::string stem = settings.OutputFolder + platform::PathSeparator + "record";
    for (int number = 1; number <= LastRecordNumber; ++number) {
        const std::string base = stem + RecordNumberText(number);
        bool taken = false;
        for (const char* kind : RecordExtensions) {
            taken = taken || platform::PathExists(base + kind) || base + kind == given;
        }
        if (!taken) {
            state.CurrentFile = base + extension;
            return true;
        }
    }
    return false;
}
