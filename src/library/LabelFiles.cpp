#include "library/LabelFiles.h"

#include "library/FileNames.h"
#include "platform/FileSystem.h"

#include <charconv>

std::string LabelFilePath(const std::string& recording) {
    const std::string extension = UpperExtension(recording);
    return recording.substr(0, recording.size() - extension.size()) + ".txt";
}

std::string LabelLine(double seconds, int number) {
    // Always with a point, whatever the user's locale: the editors read it so.
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 6).ptr;
    const std::string time(buffer, end);
    return time + '\t' + time + "\tMarker " + std::to_string(number) + '\n';
}

bool WriteMarker(const std::string& recording, double seconds, int number) {
    return platform::WriteText(LabelFilePath(recording), LabelLine(seconds, number), number > 1);
}

void CarryLabelFile(const std::string& from, const std::string& to) {
    const std::string source = LabelFilePath(from);
    if (!platform::PathExists(source))
        return;
    std::string error;
    platform::MoveFile(source, LabelFilePath(to), true, error);
}

void DeleteLabelFile(const std::string& recording) {
    platform::DeleteFile(LabelFilePath(recording));
}
