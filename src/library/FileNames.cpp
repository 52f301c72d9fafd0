#include "library/FileNames.h"

#include "platform/FileSystem.h"
#include "platform/NameText.h"

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = path.rfind(platform::PathSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string UpperExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    std::string extension = name.substr(dot);
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return extension;
}

bool IsWavName(const std::string& path) {
    return UpperExtension(path) == ".WAV";
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.front() != '.' &&
           name.find(platform::PathSeparator) == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string MeantPath(const std::string& answer, const std::string& original) {
    const auto meant = [](const std::string& typed, const std::string& was) {
        return typed == platform::ShownName(was) ? was : typed;
    };
    const std::size_t cut = answer.rfind(platform::PathSeparator);
    const std::size_t originalCut = original.rfind(platform::PathSeparator);
    if (cut == std::string::npos || originalCut == std::string::npos) {
        return meant(answer, original);
    }
    return meant(answer.substr(0, cut), original.substr(0, originalCut)) + platform::PathSeparator +
           meant(answer.substr(cut + 1), original.substr(originalCut + 1));
}
