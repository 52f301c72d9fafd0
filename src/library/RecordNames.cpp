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

std::string ExpandNameTemplate(std::string_view nameTemplate, const std::tm& start, int number) {
    const auto two = [](int value) {
        return std::string(value < 10 ? "0" : "") + std::to_string(value);
    };
    std::string name;
    for (std::size_t i = 0; i < nameTemplate.size(); ++i) {
        const char c = nameTemplate[i];
        const char field = c == '%' && i + 1 < nameTemplate.size() ? nameTemplate[i + 1] : '\0';
        std::string expanded;
        switch (field) {
        case 'Y':
            expanded = std::to_string(start.tm_year + 1900);
            break;
        case 'm':
            expanded = two(start.tm_mon + 1);
            break;
        case 'd':
            expanded = two(start.tm_mday);
            break;
        case 'H':
            expanded = two(start.tm_hour);
            break;
        case 'M':
            expanded = two(start.tm_min);
            break;
        case 'S':
            expanded = two(start.tm_sec);
            break;
        case 'n':
            expanded = RecordNumberText(number);
            break;
        case '%':
            expanded = "%";
            break;
        default:
            name += static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/' ? '-' : c;
            continue;
        }
        name += expanded;
        ++i;
    }
    name.erase(0, name.find_first_not_of('.'));
    return name;
}

namespace {

// The name of the `number`th candidate, without folder and extension.
std::string CandidateName(const RecordingSettings& settings, const std::tm& start, int number,
                          bool numbered) {
    const std::string name =
        ExpandNameTemplate(settings.NameTemplate, start, numbered ? number : 1);
    // No template, or one that expands to nothing: the plain record names.
    if (name.empty())
        return "record" + RecordNumberText(number);
    return numbered || number == 1 ? name : name + " (" + std::to_string(number) + ")";
}

} // namespace

NamePick MakeNextRecordFileName(const RecordingSettings& settings, LibraryState& state,
                                platform::TimedPathLookup& look, const std::string& given,
                                std::time_t start) {
    state.CurrentFile.clear();
    // A name is never guessed for a record no format flag was set in.
    const OutputFormat* format = FirstFlaggedFormat(settings);
    if (!format)
        return NamePick::NoneFree;
    std::tm startTime{};
    localtime_r(&start, &startTime);
    // Without %n every number expands alike, and the candidates differ by their suffix.
    const bool numbered = ExpandNameTemplate(settings.NameTemplate, startTime, 1) !=
                          ExpandNameTemplate(settings.NameTemplate, startTime, 2);
    // The pick runs on by itself when the folder stalls: it owns what it reads and writes.
    auto picked = std::make_shared<std::string>();
    const bool answered =
        look.Run([picked, settings, given, startTime, numbered, extension = format->Extension](
                     const platform::TimedPathLookup::Answered& answered) {
            for (int number = 1; number <= LastRecordNumber; ++number) {
                const std::string base = settings.OutputFolder + platform::PathSeparator +
                                         CandidateName(settings, startTime, number, numbered);
                bool taken = false;
                for (const OutputFormat& kind : OutputFormats()) {
                    const std::string path = base + kind.Extension;
                    taken = taken || platform::PathExists(path) || path == given;
                    answered();
                }
                if (!taken) {
                    *picked = base + extension;
                    return;
                }
            }
        });
    if (!answered)
        return NamePick::NoAnswer;
    state.CurrentFile = *picked;
    return picked->empty() ? NamePick::NoneFree : NamePick::Picked;
}
