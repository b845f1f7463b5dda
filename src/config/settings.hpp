#pragma once
// Program-wide settings and values, with their built-in defaults.
#include <array>
#include <string>

#include "common/text.hpp"

namespace pavuto {

inline constexpr int kListCapacity = 32001;       // entries of the list tables
inline constexpr int kDirectoryCapacity = 3500;   // entries of the directory table

struct Settings {
    int windowsClass = 3;  // 2 = the version text contains "XP"
    Text versionText;
    Text lineEnd = "\r\n";
    Text startDrive, startDirectory;  // where the program was started from
    Text editor = "edit.com";
    Text configurationName = "Default";
    Text programFileName = "pavuto.exe";
    Text listExtension = ".mp3";  // Erweiterung
    // The list display (Listenanzeige) lives in the record window, the
    // names-only flag (NurNamensliste) and the field widths in the list
    // configuration state.
    Text playlistName = "playlist.m3u";
    int listCapacity = kListCapacity;
    int directoryCapacity = kDirectoryCapacity;
    Text listFileExtension = ".pavuto";
    // Extension table, slots 1..20 (slot 0 unused).
    std::array<Text, 21> extensions{};
    Text player;            // external player; empty = the system decides
    int mci = 0;            // 1 = internal player
    int foreground = 0;     // Vordergrund
    // The shutdown mode and the minutes text live in the timer state.
    Text shutdownProgram;   // full path of shutdown.exe
    Text shutdownCommand;
    Text hibernateLink;
    Text defaultPlayer;
    Text autoMode;          // list named after /auto or /blind; non-empty = endless playback
    Text tempDirectory;     // ends with "\"
    Text homeDrive, homePath;
    Text programPath;
    Text configurationPath;
    int configurationMissing = 0;
    Text commandRest;       // the command line left for the configuration name

    Text HomeDirectory() const { return homeDrive + homePath; }
};

// The built-in extension table (slots 1..18 set, 19 and 20 empty).
std::array<Text, 21> BuiltInExtensions();

}  // namespace pavuto
