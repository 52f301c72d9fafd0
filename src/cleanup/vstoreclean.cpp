// vstoreclean: deletes the per-user copy of Sonvera's settings file, the one the recorder keeps
// in ${XDG_CONFIG_HOME:-$HOME/.config}/Sonvera when its own folder cannot be written. Shows
// nothing and always ends normally; the copy beside the recorder is never touched.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The per-user copy as the recorder finds it; empty when the environment names no absolute
// folder, since a relative one would depend on where this program happens to be started.
fs::path PerUserSettingsPath() {
    fs::path config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        const fs::path home = Environment("HOME");
        if (home.empty())
            return {};
        config = home / ".config";
    }
    if (!config.is_absolute())
        return {};
    return config / "Sonvera" / "Sonvera.ini";
}

// True when `file` lies in the folder this program was started from, which is where the
// recorder and the settings file beside it are installed.
bool BesideThisProgram(const fs::path& file) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return false;
    const fs::path folder = fs::canonical(file.parent_path(), error);
    return !error && fs::equivalent(folder, self.parent_path(), error);
}

void DeletePerUserCopy() {
    const fs::path target = PerUserSettingsPath();
    if (target.empty())
        return;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    // A folder of that name is not a settings file; a link goes, not what it points to.
    if (error || !(fs::is_regular_file(status) || fs::is_symlink(status)))
        return;
    if (BesideThisProgram(target))
        return;
    fs::remove(target, error); // a failed deletion is not reported
}

} // namespace

int main() {
    try {
        DeletePerUserCopy();
    } catch (...) {
        // Nothing is ever reported.
    }
    return 0;
}
