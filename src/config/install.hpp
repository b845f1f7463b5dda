#pragma once
// Installing the program into a home directory: the path rules and the two
// start scripts.
#include <vector>

#include "common/text.hpp"
#include "config/settings.hpp"

namespace pavuto {

struct InstallPath {
    Text drive;  // "D:"
    Text path;   // "\Tools\Medien", "\" for the root
};

// The home drive and path for a typed path: "D:\Tools\Medien" is D: and
// \Tools\Medien, "E:" is E: and \, "Medien\" (no drive) is the current
// drive and \Medien. The path always starts with "\" and ends without one
// (except the root).
InstallPath SplitInstallPath(const Text& typed, const Text& currentDrive);

// A file of the home directory: home drive + home path + "\" + name.
Text HomeFile(const Settings& s, const Text& name);

// pavuto.cmd: sets PAVUTO and PAVUTOTMP, changes to the home and starts the
// program with up to four arguments.
std::vector<Text> StartScriptLines(const Settings& s);
// pavutoPfadAnpassen.cmd: writes pavuto.cmd anew for the directory it runs
// in (after the home was moved) and makes a new shortcut.
std::vector<Text> PathScriptLines(const Text& programFileName);

// The companion documents copied with the program when they stand beside it.
inline const Text kVersionInfoFile = "pavuto v-info.txt";
inline const Text kManualFile = "Pavuto-Anleitung.doc";

}  // namespace pavuto
