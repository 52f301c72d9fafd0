#include "platform/SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace platform {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string SettingsPathBeside(const std::string& programPath) {
    return std::filesystem::path(programPath).replace_extension(".ini").string();
}

std::string PerUserSettingsPath() {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        std::string home = Environment("HOME");
        if (home.empty())
            home = QDir::homePath().toStdString();
        config = home + "/.config";
    }
    return config + "/Sonvera/Sonvera.ini";
}

std::string ChooseSettingsFile(const std::string& programPath) {
    const std::string beside = SettingsPathBeside(programPath);
    const std::filesystem::path folder = std::filesystem::path(beside).parent_path();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
        return beside;

    const std::string perUser = PerUserSettingsPath();
    // A folder that cannot be made shows up as the write's own error at exit.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(perUser).parent_path(), ignored);
    return perUser;
}

std::string ChooseSettingsFile() {
    return ChooseSettingsFile(QCoreApplication::applicationFilePath().toStdString());
}

} // namespace platform
