#include "host/posix/posix_shell.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/codepage.hpp"
#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_signals.hpp"

namespace pavuto::host::posix {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string Join(const std::string& dir, const std::string& name) {
    return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The first line a program prints, without waiting for more than it gives.
std::string FirstLineOf(const std::string& program, const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t child = fork();
    if (child == 0) {
        ResetSignalsForChild();
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(fds[1], 1);
        dup2(null, 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    if (child > 0) {
        char buffer[512];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0 && out.size() < 8192) out.append(buffer, static_cast<size_t>(n));
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out.clear();
    }
    close(fds[0]);
    return out.substr(0, out.find('\n'));
}

// A string value of a launcher key.
std::string LauncherValue(const std::string& text) { return ReplaceAll(text, "\\", "\\\\"); }

}  // namespace

std::string LauncherArgument(const std::string& argument) {
    // The characters that need quotes in an Exec line; inside the quotes
    // a double quote, backquote, dollar and backslash are escaped. A "%"
    // (a field code) is doubled.
    static const std::string kReserved = " \t\"'\\><~|&;$*?#()`";
    std::string quoted = argument;
    if (argument.empty() || argument.find_first_of(kReserved) != std::string::npos) {
        quoted = "\"";
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
            quoted += c;
        }
        quoted += '"';
    }
    return ReplaceAll(quoted, "%", "%%");
}

PosixShell::PosixShell(FileSystem& files, std::string programFile, std::string companionDirectory,
                       std::vector<std::string> hostEnvironment)
    : files_(files),
      programFile_(std::move(programFile)),
      companionDirectory_(std::move(companionDirectory)),
      environment_(std::move(hostEnvironment)) {}

std::string PosixShell::Variable(const std::string& name) const {
    for (const auto& e : environment_)
        if (e.size() > name.size() && e.compare(0, name.size(), name) == 0 && e[name.size()] == '=')
            return e.substr(name.size() + 1);
    return {};
}

std::vector<std::string> PosixShell::ProgramFiles() {
    std::vector<std::string> hostFiles;
    if (!programFile_.empty()) hostFiles.push_back(programFile_);
    for (const char* companion : {"pavuto-cmd", "shutdown.exe"}) {
        std::string path = Join(companionDirectory_, companion);
        if (!companionDirectory_.empty() && IsExecutableFile(path)) hostFiles.push_back(path);
    }
    std::vector<std::string> files;
    for (const auto& h : hostFiles) {
        std::string drivePath = files_.DrivePath(h);
        if (drivePath.size() >= 2 && drivePath[1] == ':') files.push_back(drivePath);
    }
    return files;
}

std::string PosixShell::DesktopFolder() {
    std::string folder = Variable("XDG_DESKTOP_DIR");
    if (folder.empty() || folder[0] != '/') {
        folder.clear();
        std::string tool = FindOnPath("xdg-user-dir", Variable("PATH"));
        if (!tool.empty()) folder = FirstLineOf(tool, {"DESKTOP"}, environment_);
        if (folder.empty() || folder[0] != '/') {
            std::string home = Variable("HOME");
            folder = home.empty() || home[0] != '/' ? std::string() : Join(home, "Desktop");
        }
    }
    return IsDirectory(folder) ? folder : std::string();
}

std::string PosixShell::LauncherText(const Shortcut& link) {
    auto hostForm = [&](const std::string& drivePath) { return drivePath.empty() ? drivePath : files_.HostPath(drivePath); };
    const std::string target = hostForm(link.target);
    const std::string directory = hostForm(link.workingDirectory);
    for (const std::string* text : {&target, &directory, &link.arguments, &link.name, &link.description})
        if (text->find_first_of("\r\n") != std::string::npos) throw RuntimeError(err::BadFileName, *text);

    std::string exec;
    const std::string lower = LCase(target);
    if (EndsWith(lower, ".cmd") || EndsWith(lower, ".bat")) {
        std::string own = directory.empty() ? std::string() : Join(directory, "pavuto-cmd");
        std::string interpreter = !own.empty() && IsExecutableFile(own) ? own : Join(companionDirectory_, "pavuto-cmd");
        exec = LauncherArgument(interpreter) + " /C " + LauncherArgument(target);
    } else {
        exec = LauncherArgument(target);
    }
    const auto words = SplitCommandLine("x " + link.arguments);
    for (size_t i = 1; i < words.size(); ++i) exec += " " + LauncherArgument(Cp1252ToUtf8(words[i]));

    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + LauncherValue(Cp1252ToUtf8(link.name)) + "\n";
    text += "Comment=" + LauncherValue(Cp1252ToUtf8(link.description)) + "\n";
    text += "Exec=" + LauncherValue(exec) + "\n";
    if (!directory.empty()) text += "Path=" + LauncherValue(directory) + "\n";
    text += "Terminal=true\n";
    text += "Categories=AudioVideo;Audio;Player;\n";
    return text;
}

int PosixShell::CreateShortcut(const Shortcut& link) {
    const std::string desktop = DesktopFolder();
    if (desktop.empty()) return 0;
    const std::string text = LauncherText(link);
    const std::string hostFile = Join(desktop, Cp1252ToUtf8(link.name) + ".desktop");
    const std::string file = files_.DrivePath(hostFile);
    if (file.size() < 2 || file[1] != ':') throw RuntimeError(err::PathNotFound, hostFile);
    WriteReplacing(files_, file, text);
    // Desktops start only launchers marked as programs.
    if (chmod(hostFile.c_str(), 0755) != 0) throw RuntimeError(ErrorNumberFor(errno), hostFile);
    return 1;
}

}  // namespace pavuto::host::posix
