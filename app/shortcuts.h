// Desktop and applications-menu launchers for the running program (freedesktop .desktop files).
#pragma once

#include <QString>

namespace velmor {

// Special folder numbers understood by `CreateShortcut`.
inline constexpr int CSIDL_DESKTOP = 0;
inline constexpr int CSIDL_PROGRAMS = 2;

// Writes "<linkName>.desktop" launching `targetPath` into `folderPath` (when `specialFolder` is
// below 0) or into the special folder; replaces an existing launcher. False when the target is
// not a file, the folder is unknown or missing, or the write fails; nothing is shown either way.
bool CreateShortcut(const QString& targetPath, const QString& linkName, const QString& folderPath,
                    int specialFolder);

// The launcher "纬途时刻" for this executable on the desktop.
bool MDesktopShortcut();

// The launcher "纬途时刻" for this executable in the applications menu.
bool StartMenuShortcut();

}  // namespace velmor
