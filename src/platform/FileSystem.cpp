#include "platform/FileSystem.h"

#include <QDir>
#include <QStandardPaths>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::vector<DirEntry> ListPlainFiles(const std::string& folder,
                                     bool (*wanted)(const std::string&)) {
    std::vector<DirEntry> entries;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    const int dirFd = dirfd(dir);
    while (const dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        // A leading dot is this platform's hidden mark; it also covers "." and "..".
        if (name.empty() || name[0] == '.' || item->d_type == DT_DIR || !wanted(name)) {
            continue;
        }
        struct stat info {};
        if (fstatat(dirFd, item->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        std::tm local{};
        const std::time_t written = info.st_mtim.tv_sec;
        localtime_r(&written, &local);
        entries.push_back({name, static_cast<std::uint64_t>(info.st_size),
                           static_cast<std::int64_t>(written) + local.tm_gmtoff});
    }
    closedir(dir);
    return entries;
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    QDir().mkpath(QString::fromStdString(path));
    return FolderExists(path);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool DeleteFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool SetCurrentFolder(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

std::string MusicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty()) {
        return {};
    }
    QDir().mkpath(music);
    return music.toStdString();
}

} // namespace platform
