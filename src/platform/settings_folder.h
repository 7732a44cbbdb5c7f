#pragma once

#include <QString>

namespace settings_folder {

// Where the settings files live when XDG_CONFIG_HOME names no folder: ~/.config on Linux; on Windows the
// program's own folder for a portable copy (its INI files beside the executable, as the launcher and the
// connection manager of such a copy write them), otherwise %APPDATA%\PeloraOrder.
QString defaultFolder();

}  // namespace settings_folder
