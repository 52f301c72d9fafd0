#pragma once
// The file system as the recordings library needs it: folder listing with sizes and times,
// existence, creation, deletion, renaming and moving, the process's current folder and the
// user's music folder.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Paths are built one way everywhere: folder text, this separator, name.
constexpr char PathSeparator = '/';

struct DirEntry {
    std::string name;
    std::uint64_t size = 0;
    // Last-write time as local wall-clock seconds since 1970-01-01 00:00:00 (no zone applied),
    // so it orders as the clock on the wall read when the file was written.
    std::int64_t modifiedLocal = 0;
    // The same time as the file system keeps it (nanoseconds since the epoch, UTC): tells a
    // rewritten file from an unchanged one.
    std::int64_t modifiedNanos = 0;
};

// Plain files of `folder` (no folders, no hidden files, no devices, pipes or sockets) in the
// order the directory returns them, keeping only names for which `wanted` is true; the others
// are never looked at. A folder that cannot be read gives an empty list.
std::vector<DirEntry> ListPlainFiles(const std::string& folder, bool (*wanted)(const std::string&));

bool FolderExists(const std::string& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolder(const std::string& path);
// True when anything at all is at `path` (a file, a folder, even a dangling link).
bool PathExists(const std::string& path);
bool DeleteFile(const std::string& path);
// Adds `text` to the end of the file, or starts the file anew with it unless `append`; the file
// is closed again, so what was written survives a crash of the program.
bool WriteText(const std::string& path, const std::string& text, bool append);
// The size of the file at `path` in bytes; 0 when there is none.
std::uint64_t FileSize(const std::string& path);
bool SetCurrentFolder(const std::string& path);

// True when both paths lead to one existing file: the same path, a change of letter case on a
// file system that ignores case, or two links to one file.
bool SameFile(const std::string& a, const std::string& b);

// Gives a file a new path on the same file system. Without `replace` an existing target is left
// alone and the rename fails; a target that is the file itself (SameFile) is always allowed.
bool RenameFile(const std::string& from, const std::string& to, bool replace);

// Moves a file, across file systems too: there it is copied beside the target, read back and
// compared, given the source's times and mode, put in place, and only then is the source
// deleted. An existing target is replaced only with `replace`, and only by a complete copy. On
// failure the source stays where it was and `error` says what went wrong.
bool MoveFile(const std::string& from, const std::string& to, bool replace, std::string& error);

// The user's folder for audio (XDG music folder), created when missing; empty if there is none.
std::string MusicFolder();

} // namespace platform
