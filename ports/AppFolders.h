#pragma once

#include <filesystem>

namespace qv {

// Gives the application the one name both programs (the window and qv4120-cal) keep their
// settings and backups under, whatever their executables are called. Set before a folder below
// is asked for.
void nameApplication();

// mysetup.ini beside the executable when one is there (a portable copy), otherwise in the
// user's configuration folder: $XDG_CONFIG_HOME/qv4120-settestdata/ on Linux (~/.config/...).
std::filesystem::path settingsFilePath(const std::filesystem::path& executableFolder);

// The folder that keeps a copy of every radio read or about to be written:
// $XDG_DATA_HOME/qv4120-settestdata/backups on Linux (~/.local/share/...), the local
// application data folder on Windows.
std::filesystem::path backupFolder();

// The folder that keeps the window's last transfers' logs, beside the backups.
std::filesystem::path logFolder();

// The folder that keeps the radio's rest after END for every process of the user: in the
// session's runtime folder ($XDG_RUNTIME_DIR, the user's alone), or, in a session without one,
// in the user's cache folder; never in a folder that other users share.
std::filesystem::path restFolder();

}  // namespace qv
