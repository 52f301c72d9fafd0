#pragma once
// Where the settings file lives: beside the program, or a per-user copy when the program's
// folder cannot be written (the stand-in for the system's file virtualisation).

#include <string>

namespace platform {

// The program's path with its extension changed to ".ini" (build/Sonvera -> build/Sonvera.ini).
std::string SettingsPathBeside(const std::string& programPath);

// ${XDG_CONFIG_HOME:-$HOME/.config}/Sonvera/Sonvera.ini; the clean-up program deletes this one.
std::string PerUserSettingsPath();

// The settings file this run reads and writes: the per-user copy, whose folder is made here,
// when the program's folder cannot be written.
std::string ChooseSettingsFile(const std::string& programPath);
// The same for the running program.
std::string ChooseSettingsFile();

} // namespace platform
