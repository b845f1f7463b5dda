#pragma once
// Starting programs on a POSIX host. A command line is split by the Windows
// rules into an argument vector and executed directly: no shell sees it.
//
// The program name (first word) is
//   - edit.com (any case, with or without a path): the user's editor, from
//     VISUAL, EDITOR (split at blanks into program and arguments), or the
//     first of sensible-editor, editor, nano, vi found on PATH;
//   - a path (with a drive or a "\" or "/"): translated by the file system;
//     without quotes and with blanks in it, the words up to each further
//     blank are tried in turn, as Windows does ("C:\Mein Player\play.exe x");
//   - a bare name: looked for in the program's current directory, in the
//     companion directory (which holds pavuto-cmd and shutdown.exe:
//     PosixEnvironment::CompanionDirectory(), beside the running executable
//     or in the installed package's lib/pavuto) and on PATH.
// A name ending in ".exe" or ".com" that does not exist is also tried without
// that ending. A batch file (".cmd", ".bat") runs through the program's own
// command interpreter pavuto-cmd: "pavuto-cmd /C file arguments".
// Every further word that looks like a drive path ("D:\..." or "D:/...") is
// translated to its host path; all words go out in UTF-8. The started program
// works in the host directory of the program's current directory.
// A word that names a playlist (".m3u", a drive path or relative to the
// current directory) goes to a program outside the file as the path of a
// host-form copy (host_playlist.hpp: host paths, UTF-8), written when the
// command line is resolved; the program's own interpreter pavuto-cmd (which
// makes the copy itself where it hands a playlist on) and the editor get the
// program's file as it is.
//
// Window styles, as far as a terminal has windows:
//   with waiting    Normal, Minimised, Maximised: the program gets the
//                   terminal (Console::Suspend before, Resume after) and the
//                   caller waits for its end; Hidden, NoActivate: the program
//                   runs without terminal (standard streams on /dev/null) and
//                   the caller waits for its end.
//   without waiting every style: the program runs detached in a session of
//                   its own, standard streams on /dev/null, never waited for;
//                   it is no child of the caller, so no zombie stays behind.
// Errors: a program that does not exist 53, that cannot be executed 70.
#include <string>
#include <string_view>
#include <vector>

#include "host/console.hpp"
#include "host/filesystem.hpp"
#include "host/system.hpp"

namespace pavuto::host::posix {

// The arguments of a command line by the rules of the Windows C runtime:
// blanks and tabs separate; "..." groups (also inside a word: a"b c"d is
// one argument "ab cd"); inside quotes "" is one quote; 2n backslashes before
// a quote give n backslashes and the quote groups, 2n+1 give n backslashes
// and a literal quote; other backslashes are literal. The first word (the
// program) only knows the quotes.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The same words, each with a note whether a quote took part in it.
struct Word {
    std::string text;
    bool quoted = false;
};
std::vector<Word> SplitWords(std::string_view commandLine);

// True when the line does not end inside quotes, by the same rules.
bool QuotesClosed(std::string_view commandLine);

// True for a regular file (host path) this process may execute.
bool IsExecutable(const std::string& path);

// The first executable file of that name in the directories of a PATH
// value; empty when there is none. A name with "/" is not looked up.
std::string FindOnPath(const std::string& name, const std::string& pathValue);

// A program ready to run: host path, argument vector (argv[0] included) and
// working directory, all host text (UTF-8).
struct Launch {
    std::string program;
    std::vector<std::string> arguments;
    std::string directory;  // empty: the caller's
};

class PosixProcesses : public Processes {
public:
    // console: handed over to programs that are waited for (may be null, as
    // in the command interpreter, which has no screen of its own);
    // companionDirectory: where pavuto-cmd and our other programs live
    // (PosixEnvironment::CompanionDirectory()).
    PosixProcesses(FileSystem& files, Console* console, std::string companionDirectory);

    void Start(const std::string& commandLine, WindowStyle style, bool wait) override;
    // Resolved now; run by RunInPlace once the program has ended.
    void StartAfterEnd(const std::string& commandLine) override;
    // The program StartAfterEnd named, with the environment it gets; false
    // when there is none.
    struct Successor {
        Launch launch;
        std::vector<std::string> environment;  // empty: this process's own
    };
    bool TakeSuccessor(Successor& successor);

    // The program a command line starts, without starting it (53, 70 as Start).
    Launch Resolve(const std::string& commandLine);
    // The same for a command line already split into words (Windows-1252).
    Launch Resolve(const std::vector<std::string>& words);
    // Starts a resolved program. Virtual so that a test can stand in for the
    // start and record what would have run.
    virtual void Run(const Launch& launch, WindowStyle style, bool wait);

    // The host path an outside program gets for a file (host path): a
    // playlist as the path of a host-form copy, any other file as it is. The
    // copy goes into the started program's XDG_RUNTIME_DIR or TMPDIR (or
    // /tmp). Throws RuntimeError when the copy cannot be made. Virtual so
    // that a test can see what was handed over.
    virtual std::string ForOutsideProgram(const std::string& hostPath);

    // The environment the started programs get ("NAME=value", UTF-8);
    // without it they get this process's own.
    void SetEnvironment(std::vector<std::string> environment);
    // Exit status of the last program waited for (128 + signal when killed).
    int LastExitStatus() const { return lastExitStatus_; }

private:
    std::string Variable(const std::string& name) const;
    std::string FindProgram(const std::string& bareName);
    bool IsProgramFile(const std::string& name);
    std::vector<std::string> EditorCommand();

    FileSystem& files_;
    Console* console_;
    std::string companionDirectory_;
    bool ownEnvironment_ = false;
    std::vector<std::string> environment_;
    int lastExitStatus_ = 0;
    bool hasSuccessor_ = false;
    Successor successor_;
};

// Replaces this process by the successor (execve, in its directory, with the
// signal state the process found at its start). Returns the error number when
// it could not start.
int RunInPlace(const PosixProcesses::Successor& successor);

}  // namespace pavuto::host::posix
