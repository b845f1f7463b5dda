#pragma once
// Processes, environment, media and the system's version: the remaining
// platform services.
#include <optional>
#include <string>
#include <vector>

namespace pavuto::host {

// Window styles of a started program.
enum class WindowStyle { Hidden = 0, Normal = 1, Minimised = 2, Maximised = 3, NoActivate = 4 };

class Processes {
public:
    virtual ~Processes() = default;
    // Starts a command line (split by the Windows quoting rules; no shell).
    // With wait the program gets the terminal until it ends. A program that
    // cannot be started throws RuntimeError (53 when it does not exist).
    virtual void Start(const std::string& commandLine, WindowStyle style, bool wait) = 0;
    // Starts a command line in a normal window once this program has ended
    // (the restart after an installation): it gets the console the program
    // leaves. Throws as Start does when the program cannot be started.
    virtual void StartAfterEnd(const std::string& commandLine) = 0;
};

class Environment {
public:
    virtual ~Environment() = default;
    // "NAME=value" entries in block order (sorted by name as Windows sorts it).
    virtual std::vector<std::string> Block() = 0;
    // The text after the program name.
    virtual std::string CommandLine() = 0;
};

// The multimedia command-string interface of the internal player.
class Media {
public:
    virtual ~Media() = default;
    // Returns 0 on success; result receives the answer of a status query.
    virtual int Send(const std::string& command, std::string& result) = 0;
    virtual int WaveOutDevices() = 0;
    // The short form of a path for the open command; false when it fails.
    virtual bool ShortPath(const std::string& path, std::string& shortPath) = 0;
};

struct VersionRecord {
    int major = 0, minor = 0, build = 0;
    int platformId = 2;  // 2 = NT
    std::string servicePack;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The Windows version record where the system has one.
    virtual std::optional<VersionRecord> WindowsVersion() = 0;
    // Otherwise a short description of the running system.
    virtual std::string Description() = 0;
};

// A shortcut on the user's desktop.
struct Shortcut {
    std::string name;              // "Pavuto"
    std::string target;            // drive path of the file it starts
    std::string arguments;
    std::string workingDirectory;  // drive path
    WindowStyle show = WindowStyle::Normal;
    std::string description;
};

// What the desktop shell knows of the program and the user's desktop.
class Shell {
public:
    virtual ~Shell() = default;
    // The program's own files as drive paths: the running program file
    // first, then the programs it needs beside it on this platform.
    virtual std::vector<std::string> ProgramFiles() = 0;
    // Puts the shortcut on the user's desktop: 1 when it is there, 0 when
    // the user has no desktop folder. A failure while writing it throws
    // RuntimeError.
    virtual int CreateShortcut(const Shortcut& link) = 0;
};

}  // namespace pavuto::host
