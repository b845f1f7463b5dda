#include "host/posix/posix_processes.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/codepage.hpp"
#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/posix/host_playlist.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "host/posix/posix_signals.hpp"

extern char** environ;

namespace pavuto::host::posix {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsBatchFile(std::string_view name) { return EndsWithNoCase(name, ".cmd") || EndsWithNoCase(name, ".bat"); }

// "song.exe" and "edit.com" also name the POSIX program without the ending.
bool HasWindowsProgramEnding(std::string_view name) {
    return name.size() > 4 && (EndsWithNoCase(name, ".exe") || EndsWithNoCase(name, ".com"));
}

std::string BaseName(std::string_view path) {
    auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool LooksLikeDrivePath(std::string_view w) {
    return w.size() >= 3 && ((w[0] >= 'A' && w[0] <= 'Z') || (w[0] >= 'a' && w[0] <= 'z')) && w[1] == ':' &&
           (w[2] == '\\' || w[2] == '/');
}

int ExecErrorNumber(int e) {
    switch (e) {
        case ENOENT: return err::FileNotFound;
        case EACCES:
        case EPERM:
        case ENOEXEC:
        case ETXTBSY:
        case EISDIR: return err::PermissionDenied;
        default: return ErrorNumberFor(e);
    }
}

std::vector<std::string> SplitAtBlanks(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (Blank(c)) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

// Blocks every signal from before fork until the child has its signals as
// the program found them: none of the program's handlers (which give the
// terminal back, or stop the process) may run in the child.
struct SignalsBlocked {
    sigset_t old;
    SignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &old);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &old, nullptr); }
};

[[noreturn]] void ExecChild(const char* program, char* const* argv, char* const* envp, const char* directory,
                            bool detachStreams, int errorPipe) {
    // Between fork and exec only async-signal-safe calls.
    ResetSignalsForChild();
    if (detachStreams) {
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            if (null > 2) close(null);
        }
    }
    if (directory && *directory && chdir(directory) != 0) {
        // Where the directory is gone the program still runs, in the caller's.
    }
    execve(program, argv, envp);
    int e = errno;
    ssize_t ignored = write(errorPipe, &e, sizeof e);
    (void)ignored;
    _exit(127);
}

pid_t WaitFor(pid_t pid, int& status) {
    pid_t r;
    do {
        r = waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r;
}

// The errno a child reported through the pipe before exec; 0 when exec worked.
int ReadChildError(int fd) {
    int e = 0;
    ssize_t n;
    do {
        n = read(fd, &e, sizeof e);
    } while (n < 0 && errno == EINTR);
    close(fd);
    return n == static_cast<ssize_t>(sizeof e) ? e : 0;
}

}  // namespace

namespace {

// The words, and in `open` whether the line ends inside quotes.
std::vector<Word> Split(std::string_view s, bool& open) {
    std::vector<Word> out;
    open = false;
    size_t i = 0, n = s.size();
    while (i < n && Blank(s[i])) ++i;
    if (i >= n) return out;

    // The program name: quotes group, backslashes are path separators.
    Word word;
    bool quoted = false;
    for (; i < n && (quoted || !Blank(s[i])); ++i) {
        if (s[i] == '"') {
            quoted = !quoted;
            word.quoted = true;
        } else {
            word.text += s[i];
        }
    }
    out.push_back(word);
    open = quoted;

    while (true) {
        while (i < n && Blank(s[i])) ++i;
        if (i >= n) break;
        word = Word{};
        quoted = false;
        while (i < n && (quoted || !Blank(s[i]))) {
            if (s[i] == '\\') {
                size_t k = i;
                while (k < n && s[k] == '\\') ++k;
                size_t count = k - i;
                if (k < n && s[k] == '"') {
                    word.text.append(count / 2, '\\');
                    if (count % 2) {
                        word.text += '"';
                        i = k + 1;
                    } else {
                        i = k;  // the quote groups
                    }
                } else {
                    word.text.append(count, '\\');
                    i = k;
                }
            } else if (s[i] == '"') {
                word.quoted = true;
                if (quoted && i + 1 < n && s[i + 1] == '"') {
                    word.text += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word.text += s[i++];
            }
        }
        out.push_back(word);
        open = quoted;
    }
    return out;
}

}  // namespace

std::vector<Word> SplitWords(std::string_view s) {
    bool open = false;
    return Split(s, open);
}

bool QuotesClosed(std::string_view s) {
    bool open = false;
    Split(s, open);
    return !open;
}

std::vector<std::string> SplitCommandLine(std::string_view s) {
    std::vector<std::string> out;
    for (auto& w : SplitWords(s)) out.push_back(std::move(w.text));
    return out;
}

bool IsExecutable(const std::string& path) { return IsRegularFile(path) && access(path.c_str(), X_OK) == 0; }

std::string FindOnPath(const std::string& name, const std::string& pathValue) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    size_t start = 0;
    while (start <= pathValue.size()) {
        size_t end = pathValue.find(':', start);
        if (end == std::string::npos) end = pathValue.size();
        std::string dir = pathValue.substr(start, end - start);
        // An empty entry would mean the caller's directory: not searched.
        if (!dir.empty()) {
            std::string candidate = dir.back() == '/' ? dir + name : dir + "/" + name;
            if (IsExecutable(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

PosixProcesses::PosixProcesses(FileSystem& files, Console* console, std::string companionDirectory)
    : files_(files), console_(console), companionDirectory_(std::move(companionDirectory)) {}

void PosixProcesses::SetEnvironment(std::vector<std::string> environment) {
    environment_ = std::move(environment);
    ownEnvironment_ = true;
}

std::string PosixProcesses::Variable(const std::string& name) const {
    if (!ownEnvironment_) {
        const char* v = std::getenv(name.c_str());
        return v ? v : "";
    }
    for (const auto& e : environment_)
        if (e.size() > name.size() && e[name.size()] == '=' && e.compare(0, name.size(), name) == 0)
            return e.substr(name.size() + 1);
    return {};
}

std::vector<std::string> PosixProcesses::EditorCommand() {
    for (const char* var : {"VISUAL", "EDITOR"}) {
        auto words = SplitAtBlanks(Variable(var));
        if (words.empty()) continue;
        if (words[0].find('/') == std::string::npos) {
            std::string found = FindOnPath(words[0], Variable("PATH"));
            if (found.empty()) continue;
            words[0] = found;
        }
        return words;
    }
    for (const char* name : {"sensible-editor", "editor", "nano", "vi"}) {
        std::string found = FindOnPath(name, Variable("PATH"));
        if (!found.empty()) return {found};
    }
    return {};
}

std::string PosixProcesses::FindProgram(const std::string& bareName) {
    std::vector<std::string> names{Cp1252ToUtf8(bareName)};
    if (HasWindowsProgramEnding(bareName)) names.push_back(Cp1252ToUtf8(bareName.substr(0, bareName.size() - 4)));
    auto usable = [](const std::string& p) { return IsExecutable(p) || (IsBatchFile(p) && IsRegularFile(p)); };

    std::vector<std::string> dirs;
    try {
        dirs.push_back(files_.HostPath(files_.CurrentDirectory()));
    } catch (const RuntimeError&) {
    }
    if (!companionDirectory_.empty()) dirs.push_back(companionDirectory_);
    for (const auto& dir : dirs)
        for (const auto& n : names) {
            std::string candidate = dir == "/" ? "/" + n : dir + "/" + n;
            if (usable(candidate)) return candidate;
        }
    std::string path = Variable("PATH");
    for (const auto& n : names) {
        std::string found = FindOnPath(n, path);
        if (!found.empty()) return found;
    }
    return {};
}

bool PosixProcesses::IsProgramFile(const std::string& name) {
    if (name.find_first_of("\\/") == std::string::npos && !(name.size() >= 2 && name[1] == ':')) return false;
    try {
        if (IsRegularFile(files_.HostPath(name))) return true;
        return HasWindowsProgramEnding(name) && IsRegularFile(files_.HostPath(name.substr(0, name.size() - 4)));
    } catch (const RuntimeError&) {
        return false;
    }
}

Launch PosixProcesses::Resolve(const std::string& commandLine) {
    auto words = SplitCommandLine(commandLine);
    // A program path with blanks and without quotes ("C:\Mein Player\play.exe
    // x"): as on Windows, the names up to each further blank are tried in turn
    // while the shorter ones name no file.
    size_t start = commandLine.find_first_not_of(" \t");
    if (start != std::string::npos && commandLine[start] != '"' && words.size() > 1 && !IsProgramFile(words[0])) {
        size_t end = commandLine.find_first_of(" \t", start);
        while (end != std::string::npos) {
            size_t next = commandLine.find_first_not_of(" \t", end);
            if (next == std::string::npos) break;
            end = commandLine.find_first_of(" \t", next);
            std::string candidate = commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (candidate.find('"') != std::string::npos) break;
            if (IsProgramFile(candidate)) {
                std::vector<std::string> joined{candidate};
                if (end != std::string::npos) {
                    auto rest = SplitCommandLine("x" + commandLine.substr(end));
                    joined.insert(joined.end(), rest.begin() + 1, rest.end());
                }
                return Resolve(joined);
            }
        }
    }
    return Resolve(words);
}

Launch PosixProcesses::Resolve(const std::vector<std::string>& words) {
    if (words.empty() || words[0].empty()) throw RuntimeError(err::FileNotFound, "no program");
    const std::string& name = words[0];

    Launch launch;
    std::vector<std::string> leading;  // the editor's own arguments
    const bool isEditor = EqualsNoCase(BaseName(name), "edit.com");
    if (isEditor) {
        auto editor = EditorCommand();
        if (editor.empty()) throw RuntimeError(err::FileNotFound, "no editor found (VISUAL, EDITOR)");
        launch.program = editor[0];
        leading.assign(editor.begin() + 1, editor.end());
    } else if (name.find_first_of("\\/") != std::string::npos || (name.size() >= 2 && name[1] == ':')) {
        launch.program = files_.HostPath(name);
        if (!IsRegularFile(launch.program) && HasWindowsProgramEnding(name)) {
            std::string shorter = files_.HostPath(name.substr(0, name.size() - 4));
            if (IsRegularFile(shorter)) launch.program = shorter;
        }
    } else {
        launch.program = FindProgram(name);
        if (launch.program.empty()) throw RuntimeError(err::FileNotFound, name);
    }

    struct stat st {};
    if (stat(launch.program.c_str(), &st) != 0) {
        int e = errno;
        throw RuntimeError(e == ENOENT || e == ENOTDIR ? err::FileNotFound : ErrorNumberFor(e), name);
    }
    if (!S_ISREG(st.st_mode)) throw RuntimeError(err::PermissionDenied, name);

    if (IsBatchFile(launch.program)) {
        std::string interpreter =
            companionDirectory_ == "/" ? "/pavuto-cmd" : companionDirectory_ + "/pavuto-cmd";
        if (!IsExecutable(interpreter)) throw RuntimeError(err::FileNotFound, interpreter);
        launch.arguments = {interpreter, "/C", launch.program};
        launch.program = interpreter;
    } else {
        if (access(launch.program.c_str(), X_OK) != 0) throw RuntimeError(err::PermissionDenied, name);
        launch.arguments = {launch.program};
        launch.arguments.insert(launch.arguments.end(), leading.begin(), leading.end());
    }

    try {
        launch.directory = files_.HostPath(files_.CurrentDirectory());
    } catch (const RuntimeError&) {
    }
    // Programs of the host get playlists in host form; the program's own
    // interpreter and the editor get the program's files as they are.
    const bool outside = !isEditor && BaseName(launch.program) != "pavuto-cmd";
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        std::string out = Cp1252ToUtf8(w);
        bool translated = false;
        if (LooksLikeDrivePath(w)) {
            try {
                out = files_.HostPath(w);
                translated = true;
            } catch (const RuntimeError&) {
                // a drive that is not ready: the text goes as it is
            }
        }
        if (outside && IsPlaylistName(w)) {
            std::string host = out;
            if (!translated && !StartsWith(host, "/")) {
                try {
                    host = files_.HostPath(w);  // relative to the program's current directory
                } catch (const RuntimeError&) {
                    host.clear();
                }
            }
            if (!host.empty() && IsRegularFile(host)) out = ForOutsideProgram(host);
        }
        launch.arguments.push_back(out);
    }
    return launch;
}

std::string PosixProcesses::ForOutsideProgram(const std::string& hostPath) {
    if (!IsPlaylistName(hostPath) || !IsRegularFile(hostPath)) return hostPath;
    return WriteHostFormCopy(hostPath, files_, CopyBaseDirectory(Variable("XDG_RUNTIME_DIR"), Variable("TMPDIR")));
}

void PosixProcesses::Start(const std::string& commandLine, WindowStyle style, bool wait) {
    Run(Resolve(commandLine), style, wait);
}

void PosixProcesses::StartAfterEnd(const std::string& commandLine) {
    successor_.launch = Resolve(commandLine);
    successor_.environment = ownEnvironment_ ? environment_ : std::vector<std::string>{};
    hasSuccessor_ = true;
}

bool PosixProcesses::TakeSuccessor(Successor& successor) {
    if (!hasSuccessor_) return false;
    successor = std::move(successor_);
    hasSuccessor_ = false;
    return true;
}

namespace {

// The argument vector of a launch for execve (argv[0] at least), ending in null.
std::vector<char*> ArgumentVector(const Launch& launch) {
    std::vector<char*> argv;
    for (const auto& a : launch.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    if (argv.empty()) argv.push_back(const_cast<char*>(launch.program.c_str()));
    argv.push_back(nullptr);
    return argv;
}

std::vector<char*> EnvironmentVector(const std::vector<std::string>& environment) {
    std::vector<char*> envp;
    for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    return envp;
}

}  // namespace

int RunInPlace(const PosixProcesses::Successor& successor) {
    const Launch& launch = successor.launch;
    std::vector<char*> argv = ArgumentVector(launch);
    std::vector<char*> envp = EnvironmentVector(successor.environment);
    ResetSignalsForChild();
    if (!launch.directory.empty() && chdir(launch.directory.c_str()) != 0) {
        // Where the directory is gone the program still runs, in ours.
    }
    execve(launch.program.c_str(), argv.data(), successor.environment.empty() ? environ : envp.data());
    return ExecErrorNumber(errno);
}

void PosixProcesses::Run(const Launch& launch, WindowStyle style, bool wait) {
    // Everything the child needs is prepared before fork.
    std::vector<char*> argv = ArgumentVector(launch);
    std::vector<char*> envp = EnvironmentVector(environment_);
    char* const* env = ownEnvironment_ ? envp.data() : environ;
    const char* program = launch.program.c_str();
    const char* directory = launch.directory.c_str();
    bool withoutTerminal = style == WindowStyle::Hidden || style == WindowStyle::NoActivate;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw RuntimeError(ErrorNumberFor(errno), launch.program);

    if (!wait) {
        // Detached: a session of its own, and a grandchild, so that it is no
        // child of ours and leaves no zombie; the middle process is reaped here.
        pid_t middle;
        int forkError;
        {
            SignalsBlocked blocked;
            middle = fork();
            forkError = errno;
            if (middle == 0) {
                close(fds[0]);
                setsid();
                pid_t child = fork();
                if (child == 0) ExecChild(program, argv.data(), env, directory, true, fds[1]);
                if (child < 0) {
                    int e = errno;
                    ssize_t ignored = write(fds[1], &e, sizeof e);
                    (void)ignored;
                }
                _exit(0);
            }
        }
        if (middle < 0) {
            close(fds[0]);
            close(fds[1]);
            throw RuntimeError(ErrorNumberFor(forkError), launch.program);
        }
        close(fds[1]);
        int status = 0;
        WaitFor(middle, status);
        if (int e = ReadChildError(fds[0])) throw RuntimeError(ExecErrorNumber(e), launch.program);
        return;
    }

    // Waited for. With the terminal the console gives it up first and takes
    // it back (and redraws) afterwards; Ctrl-C and Ctrl-\ then belong to the
    // program, not to us.
    bool handOver = !withoutTerminal && console_ != nullptr;
    if (handOver) console_->Suspend();
    struct Restore {
        Console* console;
        struct sigaction oldInt {}, oldQuit {};
        bool active = false;
        ~Restore() {
            if (active) {
                sigaction(SIGINT, &oldInt, nullptr);
                sigaction(SIGQUIT, &oldQuit, nullptr);
            }
            if (console) {
                try {
                    console->Resume();
                } catch (...) {
                    // a terminal that cannot be drawn on again: the program's next output tells
                }
            }
        }
    } restore{handOver ? console_ : nullptr};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &restore.oldInt);
    sigaction(SIGQUIT, &ignore, &restore.oldQuit);
    restore.active = true;

    pid_t child;
    int forkError;
    {
        SignalsBlocked blocked;
        child = fork();
        forkError = errno;
        if (child == 0) {
            close(fds[0]);
            ExecChild(program, argv.data(), env, directory, withoutTerminal, fds[1]);
        }
    }
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        throw RuntimeError(ErrorNumberFor(forkError), launch.program);
    }
    close(fds[1]);
    int execError = ReadChildError(fds[0]);
    int status = 0;
    WaitFor(child, status);
    if (execError) throw RuntimeError(ExecErrorNumber(execError), launch.program);
    lastExitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 0;
}

}  // namespace pavuto::host::posix
