#pragma once
// The environment block and command line as the program sees them on a POSIX
// host: sorted as Windows sorts it, in Windows-1252, with host paths turned
// into drive paths, and with the variables a Windows machine always has
// supplied where this machine has none.
#include <string>
#include <vector>

#include "host/filesystem.hpp"
#include "host/system.hpp"

namespace pavuto::host::posix {

class PosixEnvironment : public Environment {
public:
    // hostEnvironment: "NAME=value" entries in UTF-8 (the process's own:
    // ProcessEnvironment()); arguments: argv[0] onwards; companionDirectory:
    // the host directory of the command interpreter pavuto-cmd and of
    // shutdown.exe (CompanionDirectory()).
    PosixEnvironment(const std::vector<std::string>& hostEnvironment, std::vector<std::string> arguments,
                     FileSystem& files, const std::string& companionDirectory);

    // Sorted by the upper-cased name; the values of COMSPEC, WINDIR, TMP, TEMP,
    // PAVUTOTMP, PROGRAMFILES, PAVUTO and HOMEPATH that start with "/" are
    // drive paths (HOMEPATH without its drive). Supplied where missing:
    // COMSPEC (our pavuto-cmd), WINDIR (the companion directory, which holds
    // our shutdown.exe), HOMEDRIVE and HOMEPATH (from HOME), TMP and TEMP
    // (from TMPDIR, else /tmp).
    std::vector<std::string> Block() override { return block_; }
    // The arguments after the program name joined by single blanks, as they
    // are (no quoting), in Windows-1252.
    std::string CommandLine() override { return commandLine_; }

    // The environment of this process ("NAME=value", UTF-8).
    static std::vector<std::string> ProcessEnvironment();
    // The running executable and its directory, from /proc/self/exe; empty
    // when the system does not tell.
    static std::string ProgramFile();
    static std::string ProgramDirectory();
    // The host directory that holds the program's companions, the command
    // interpreter pavuto-cmd and shutdown.exe: CompanionDirectoryOf the
    // running executable's directory. The same folder for pavuto and for
    // pavuto-cmd itself; empty when the system does not tell.
    static std::string CompanionDirectory();
    // The companions' directory for a program in programDirectory: the
    // directory itself when pavuto-cmd (an executable file) stands in it (the
    // build tree, and a folder the program was installed into by its own
    // installation, which copies pavuto, pavuto-cmd and shutdown.exe side by
    // side); else the package's own library folder <programDirectory>/../lib/pavuto
    // (kCompanionsFromProgram, normalised: "/usr/bin" gives "/usr/lib/pavuto")
    // when pavuto-cmd stands there; else programDirectory, where a missing
    // interpreter is then reported. Empty for an empty programDirectory.
    static std::string CompanionDirectoryOf(const std::string& programDirectory);
    // Where an installed package keeps the companions, relative to the folder
    // of pavuto ("../lib/pavuto"); the install rules of CMakeLists.txt put them
    // there and hand the same path to the build.
    static const char* const kCompanionsFromProgram;

private:
    std::vector<std::string> block_;
    std::string commandLine_;
};

}  // namespace pavuto::host::posix
