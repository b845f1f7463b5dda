#pragma once
// The desktop on a POSIX host: the program's own files (the executable and
// its command interpreter and shutdown program), and shortcuts as
// freedesktop launchers (<name>.desktop) in the user's desktop folder.
//
// The desktop folder is XDG_DESKTOP_DIR, else the folder `xdg-user-dir
// DESKTOP` names, else ~/Desktop; a folder that does not exist means the
// user has none. A launcher whose target is a batch file starts it through
// the command interpreter in its working directory when one stands there
// (a home the program was installed into), else through the program's own.
// It runs in a terminal.
#include <string>
#include <vector>

#include "host/posix/posix_filesystem.hpp"
#include "host/system.hpp"

namespace pavuto::host::posix {

class PosixShell : public Shell {
public:
    // programFile: host path of the running executable; companionDirectory:
    // where pavuto-cmd and shutdown.exe are; hostEnvironment: the process's
    // environment (UTF-8 "NAME=value").
    PosixShell(FileSystem& files, std::string programFile, std::string companionDirectory,
               std::vector<std::string> hostEnvironment);

    std::vector<std::string> ProgramFiles() override;
    int CreateShortcut(const Shortcut& link) override;

    // The desktop folder (host path), or empty when there is none.
    std::string DesktopFolder();
    // The launcher file's text for a shortcut (UTF-8).
    std::string LauncherText(const Shortcut& link);

private:
    std::string Variable(const std::string& name) const;

    FileSystem& files_;
    std::string programFile_;
    std::string companionDirectory_;
    std::vector<std::string> environment_;
};

// One argument of a launcher's Exec line, quoted where it must be.
std::string LauncherArgument(const std::string& argument);

}  // namespace pavuto::host::posix
