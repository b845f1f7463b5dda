#include "host/posix/posix_environment.hpp"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "common/codepage.hpp"
#include "common/text.hpp"
#include "host/posix/posix_processes.hpp"

extern char** environ;

namespace pavuto::host::posix {

namespace {

struct Variable {
    std::string name, value;  // Windows-1252
};

bool IsPathVariable(const std::string& upperName) {
    for (const char* n : {"COMSPEC", "WINDIR", "TMP", "TEMP", "PAVUTOTMP", "PROGRAMFILES", "PAVUTO", "HOMEPATH"})
        if (upperName == n) return true;
    return false;
}

// A drive path for a host path, or nothing when no drive holds it.
std::optional<std::string> DrivePathOf(FileSystem& files, const std::string& hostPath) {
    std::string p = files.DrivePath(hostPath);
    if (p.size() >= 2 && p[1] == ':') return p;
    return std::nullopt;
}

}  // namespace

#ifndef PAVUTO_COMPANIONS_FROM_PROGRAM
#define PAVUTO_COMPANIONS_FROM_PROGRAM "../lib/pavuto"
#endif
const char* const PosixEnvironment::kCompanionsFromProgram = PAVUTO_COMPANIONS_FROM_PROGRAM;

PosixEnvironment::PosixEnvironment(const std::vector<std::string>& hostEnvironment, std::vector<std::string> arguments,
                                   FileSystem& files, const std::string& companionDirectory) {
    std::vector<Variable> vars;
    auto has = [&](const char* name) {
        return std::any_of(vars.begin(), vars.end(), [&](const Variable& v) { return UCase(v.name) == name; });
    };
    std::string home, tmpdir;
    for (const std::string& entry : hostEnvironment) {
        auto eq = entry.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        std::string name = entry.substr(0, eq), value = entry.substr(eq + 1);
        if (name == "HOME") home = value;
        if (name == "TMPDIR") tmpdir = value;
        Variable v{Utf8ToCp1252(name), Utf8ToCp1252(value)};
        std::string upper = UCase(v.name);
        if (IsPathVariable(upper) && StartsWith(value, "/")) {
            if (auto drive = DrivePathOf(files, value)) {
                v.value = upper == "HOMEPATH" ? drive->substr(2) : *drive;
            }
        }
        vars.push_back(std::move(v));
    }

    // What a Windows machine always has, where this one has nothing of its own.
    std::string dir = companionDirectory;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!dir.empty()) {
        if (!has("COMSPEC"))
            if (auto p = DrivePathOf(files, dir == "/" ? "/pavuto-cmd" : dir + "/pavuto-cmd")) vars.push_back({"COMSPEC", *p});
        if (!has("WINDIR"))
            if (auto p = DrivePathOf(files, dir)) vars.push_back({"WINDIR", *p});
    }
    if (StartsWith(home, "/")) {
        if (auto p = DrivePathOf(files, home)) {
            if (!has("HOMEDRIVE")) vars.push_back({"HOMEDRIVE", p->substr(0, 2)});
            if (!has("HOMEPATH")) vars.push_back({"HOMEPATH", p->substr(2)});
        }
    }
    std::string temp = StartsWith(tmpdir, "/") ? tmpdir : "/tmp";
    if (auto p = DrivePathOf(files, temp)) {
        if (!has("TMP")) vars.push_back({"TMP", *p});
        if (!has("TEMP")) vars.push_back({"TEMP", *p});
    }

    // Windows keeps its block sorted by the upper-cased name.
    std::stable_sort(vars.begin(), vars.end(),
                     [](const Variable& a, const Variable& b) { return UCase(a.name) < UCase(b.name); });
    for (auto& v : vars) block_.push_back(v.name + "=" + v.value);

    for (size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1) commandLine_ += ' ';
        commandLine_ += Utf8ToCp1252(arguments[i]);
    }
}

std::vector<std::string> PosixEnvironment::ProcessEnvironment() {
    std::vector<std::string> out;
    for (char** e = environ; e && *e; ++e) out.emplace_back(*e);
    return out;
}

std::string PosixEnvironment::ProgramFile() {
    std::string buf(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
    buf.resize(static_cast<size_t>(n));
    return buf;
}

std::string PosixEnvironment::ProgramDirectory() {
    const std::string buf = ProgramFile();
    auto slash = buf.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : buf.substr(0, slash);
}

std::string PosixEnvironment::CompanionDirectory() { return CompanionDirectoryOf(ProgramDirectory()); }

std::string PosixEnvironment::CompanionDirectoryOf(const std::string& programDirectory) {
    if (programDirectory.empty()) return {};
    std::string dir = programDirectory;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    auto holdsInterpreter = [](const std::string& d) {
        return IsExecutable(d == "/" ? "/pavuto-cmd" : d + "/pavuto-cmd");
    };
    if (holdsInterpreter(dir)) return dir;
    std::string library = (std::filesystem::path(dir) / kCompanionsFromProgram).lexically_normal().string();
    while (library.size() > 1 && library.back() == '/') library.pop_back();
    if (holdsInterpreter(library)) return library;
    return dir;
}

}  // namespace pavuto::host::posix
