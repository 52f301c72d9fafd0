#include "library/RecordNames.h"

#include "engine/OutputFormats.h"
#include "platform/FileSystem.h"

namespace {

constexpr int LastRecordNumber = 100000;

} // namespace

std::string RecordNumberText(int number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

bool MakeNextRecordFileName(const RecordingSettings& settings, LibraryState& state,
                            const std::string& given) {
    state.CurrentFile.clear();
    // A name is never guessed for a record no format flag was set in.
    const OutputFormat* format = FirstFlaggedFormat(settings);
    if (!format)
        return false;
    const std::string stem = settings.OutputFolder + platform::PathSeparator + "record";
    for (int number = 1; number <= LastRecordNumber; ++number) {
        const std::string base = stem + RecordNumberText(number);
        bool taken = false;
        for (const OutputFormat& kind : OutputFormats()) {
            const std::string path = base + kind.Extension;
            taken = taken || platform::PathExists(path) || path == given;
        }
        if (!taken) {
            state.CurrentFile = base + format->Extension;
            return true;
        }
    }
    return false;
}
