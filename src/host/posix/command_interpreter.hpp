#pragma once
// The program's own command interpreter (pavuto-cmd): "/C file [arguments]".
// A batch file (".cmd", ".bat") runs line by line; any other file is opened
// with the desktop's association (xdg-open). No line ever reaches a shell:
// quotes and blanks are the only characters with a meaning, and a file name
// is data whatever it holds.
//
// The lines it knows (names of commands in any case, "@" in front allowed):
//   echo off / echo on         nothing (commands are never echoed)
//   rem ..., :: ...            comments
//   D:                         changes the current drive
//   cd dir, cd "dir", cd /d    changes the current directory of dir's drive
//                              (with /d also the drive); cd alone prints it
//   set NAME=value             into the interpreter's environment (%NAME%),
//                              passed on to the programs it starts
//   echo text>file, >>file     writes / appends text + CR LF, bytes as they are
//   echo text                  prints the text
//   exit                       ends the file
//   "file"                     a line in quotes from end to end is one name,
//                              whatever it holds (quotes, backslashes,
//                              blanks): opens the file with the desktop's
//                              association, without waiting; a name that
//                              names nothing is an error, never a program
//   "player" "file"            the one exception, written for display modes
//                              1 and 2: only where no file of the whole name
//                              exists, the player is given as a path and the
//                              file exists; the player gets the file and is
//                              waited for
//   program arguments          starts the program by the rules of
//                              PosixProcesses and waits for its end, as the
//                              Windows interpreter does in a batch file
// Variables: %0 (the file), %1 ... %9, %* (the arguments), %NAME% (the
// environment as the program sees it; %cd% the current directory as a drive
// path unless CD is set), %% a single %.
//
// The program writes names either in Windows-1252 or with its German letters
// in code page 850 (ä ö ü Ä Ö Ü ß á é í ó ú). Converting every line back
// would turn a Windows-1252 "á" (the 850 code of ß) into "ß", so a name (cd
// target, file to open, program and its arguments) is taken as written where
// it exists, else in its converted form, else with its variables expanded.
// A cd target or a name to open that none of these finds is looked for in
// the directories themselves, letter by letter: an entry matches where each
// character is the written one, or its code page 850 form, in either case.
// So a name mixing converted letters with ones the conversion leaves alone
// ("ü£"), a name with characters the program cannot hold ("?") and a name on
// the host that holds a backslash are found too.
//
// A line whose quotes do not pair (as when a name holding a line break was
// written into the file) runs nothing and counts as an error.
//
// Whatever program of the host gets a file from here (the opener, a player,
// a program of a program line) gets its host path; a playlist (".m3u") it
// gets as the path of a host-form copy (host_playlist.hpp), so that the
// program's own playlist of drive paths in Windows-1252 plays there.
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/posix/posix_filesystem.hpp"
#include "host/posix/posix_processes.hpp"

namespace pavuto::host::posix {

// The twelve letters the program converts to code page 850, back to Windows-1252.
std::string OemLettersToAnsi(std::string_view text);

class CommandInterpreter {
public:
    // hostEnvironment: the process's environment (UTF-8 "NAME=value");
    // companionDirectory: where the interpreter and the other programs live
    // (PosixEnvironment::CompanionDirectory()).
    CommandInterpreter(PosixFileSystem& files, PosixProcesses& processes, std::vector<std::string> hostEnvironment,
                       const std::string& companionDirectory, std::ostream& out, std::ostream& errors);

    // argv[0] onwards. Returns the exit status: 0, or 1 after any error.
    int Main(const std::vector<std::string>& argv);

    // Runs the lines of a batch file (host path); arguments in Windows-1252.
    void RunBatch(const std::string& hostFile, const std::string& shownName, const std::vector<std::string>& arguments);
    // One line (Windows-1252). False when the file ends here (exit).
    bool RunLine(const std::string& line);
    // Opens a host path with the desktop's association, not waiting (a
    // playlist as its host-form copy).
    void OpenWithAssociation(const std::string& hostPath);

    int errorCount() const { return errorCount_; }

private:
    std::string Expand(std::string_view text) const;
    std::string Lookup(const std::string& name) const;
    void Set(const std::string& name, const std::string& value);
    bool Exists(const std::string& name);
    // Where a written name is: the host path of the file or directory, or
    // empty; certain is false where a directory that had to be looked at
    // could not be read.
    struct Found {
        std::string host;
        bool certain = true;
    };
    // expand = false: the name is data as written; variables in it stay text.
    Found Find(const std::string& written, bool expand = true);
    Found Walk(const std::string& path);  // part by part through the directories
    void RunQuotedName(const std::string& name);
    void RunWithFile(const std::string& program, const std::string& hostFile);
    // The first of the name as written, converted, expanded, expanded and
    // converted that exists; the expanded name when none does.
    std::string ChooseName(const std::string& written, bool expand = true);
    void Echo(const std::string& rest);
    void ChangeDirectory(std::string rest);
    void RunProgramLine(const std::string& line);
    void Error(const std::string& what, const std::string& detail);

    PosixFileSystem& files_;
    PosixProcesses& processes_;
    std::vector<std::string> hostEnvironment_;                    // what started programs get
    std::vector<std::pair<std::string, std::string>> variables_;  // the program's view (Windows-1252)
    std::ostream& out_;
    std::ostream& errors_;
    std::string batchName_;
    std::vector<std::string> arguments_;
    int errorCount_ = 0;
    // A cd that failed: the names after it belong to a directory the
    // interpreter is not in, so none of them is opened until a cd succeeds.
    bool directoryLost_ = false;
};

}  // namespace pavuto::host::posix
