#include "config/install.hpp"

namespace pavuto {

namespace {

// "\" in front, none at the end (the root stays "\").
Text DirectoryPath(Text path) {
    while (path.size() > 1 && EndsWith(path, "\\")) path.pop_back();
    if (!StartsWith(path, "\\")) path = "\\" + path;
    return path;
}

}  // namespace

InstallPath SplitInstallPath(const Text& typed, const Text& currentDrive) {
    if (typed.size() >= 2 && typed[1] == ':') {
        if (typed.size() == 2) return {typed, "\\"};
        return {Left(typed, 2), DirectoryPath(Mid(typed, 3))};
    }
    return {currentDrive, DirectoryPath(typed)};
}

Text HomeFile(const Settings& s, const Text& name) {
    const Text home = s.HomeDirectory();
    return EndsWith(home, "\\") ? home + name : home + "\\" + name;
}

std::vector<Text> StartScriptLines(const Settings& s) {
    return {
        "@Echo off",
        "set pavuto=" + s.homeDrive + s.homePath,
        s.homeDrive,
        "set pavutotmp=" + s.tempDirectory,
        "cd " + s.homePath,
        s.programFileName + " %1 %2 %3 %4",
    };
}

std::vector<Text> PathScriptLines(const Text& programFileName) {
    return {
        "@Echo off",
        "Rem    Pavuto.cmd > Programmstartanpassung wenn dieses verzeichniss verschoben wurde",
        "echo Echo off>pavuto.cmd",
        "echo set pavuto=%cd%>>pavuto.cmd",
        "echo set pavutotmp=%tmp%>>pavuto.cmd",
        "echo " + programFileName + " %%1 %%2 %%3 %%4>>pavuto.cmd",
        "create-lnk pavuto.cmd",
    };
}

}  // namespace pavuto
