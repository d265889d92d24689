// Where the game plays when no folder is given: the working directory if it
// holds a Vintaro.gol, else the player's own folder, else the installed
// default folder (found from where the executable stands), else the build's
// play folder for a game run from its build tree.
#pragma once

#include <string>
#include <vector>

namespace vintaro::sdl {

// The player's own folder: $XDG_DATA_HOME/vintaro, or ~/.local/share/vintaro
// when XDG_DATA_HOME is unset, empty or relative. Empty without a home.
std::string userDataFolder(const char* xdgDataHome, const char* home);

// The folder of the running executable, with a trailing '/'; empty when it
// cannot be told.
std::string executableFolder();

// The folders to look in after the working directory, in order.
std::vector<std::string> defaultDataFolders(const std::string& exeFolder,
                                            const std::string& userFolder);

// The first of "." and `candidates` holding a Vintaro.gol, or "." when none
// does (where the missing picture is reported, as always).
std::string chooseDataFolder(const std::vector<std::string>& candidates);

}  // namespace vintaro::sdl
