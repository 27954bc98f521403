#pragma once
// Shell shortcuts (".lnk" files) to a program, saved in one of the user's
// shell folders, whose paths are read from the current user's registry.
#include <cstdint>
#include <string>

namespace installer {

// Where CreateShortcut saves the shortcut; any other value saves none.
using ShortcutLocation = std::uint8_t;
inline constexpr ShortcutLocation DesktopLocation = 0;
inline constexpr ShortcutLocation QuickLaunchLocation = 1;
inline constexpr ShortcutLocation SendToLocation = 2;
inline constexpr ShortcutLocation StartMenuLocation = 3;
inline constexpr ShortcutLocation OwnFolderLocation = 4;  // SubFolder is the folder

// Saves "<program name>.lnk", pointing at FileName with FileName's folder as
// working folder, into the folder of Location, or into its sub-folder
// SubFolder when one is given (it must exist). Nothing is saved when the
// folder is unknown, and a failed save is silent. The shell's link object
// not being available raises EOleSysError, a missing interface of it
// EIntfCastError.
void CreateShortcut(const std::string &FileName, ShortcutLocation Location, const std::string &SubFolder);

} // namespace installer
