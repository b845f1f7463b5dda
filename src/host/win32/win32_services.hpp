#pragma once
// The smaller Win32 services: clock, environment block and command line,
// process start, the version record, the multimedia command strings, and the
// desktop shortcut.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host/clock.hpp"
#include "host/console.hpp"
#include "host/filesystem.hpp"
#include "host/system.hpp"

namespace pavuto::host::win32 {

// GetTickCount, Sleep and the local time. What the program printed before a
// pause is on the screen during it.
class Win32Clock : public Clock {
public:
    void Pause(int milliseconds) override;
    std::uint32_t TickCount() override { return GetTickCount(); }
    LocalTime Now() override;
};

// The process's own environment block (GetEnvironmentStringsA: sorted by
// name as the system keeps it) and the text after the program name of
// GetCommandLineA.
class Win32Environment : public Environment {
public:
    std::vector<std::string> Block() override;
    std::string CommandLine() override;
};

// The text of a command line after the program name and the blanks that
// follow it: the name is quoted or ends at the first blank or tab.
std::string TextAfterProgramName(std::string_view commandLine);

// CreateProcessA with the window style, in the program's current directory;
// a command line goes to the system as it is. A program waited for in a
// window of its own style gets the console (Console::Suspend, Resume).
class Win32Processes : public Processes {
public:
    Win32Processes(FileSystem& files, Console* console) : files_(files), console_(console) {}
    void Start(const std::string& commandLine, WindowStyle style, bool wait) override;
    // Checked now (53 when the program does not exist), started by
    // StartSuccessor once the console is given back.
    void StartAfterEnd(const std::string& commandLine) override;
    // Starts what StartAfterEnd named, without waiting; false when nothing
    // was named or it could not start.
    bool StartSuccessor();
    bool HasSuccessor() const { return !successor_.empty(); }
    // Exit code of the last program waited for.
    DWORD LastExitCode() const { return lastExitCode_; }

private:
    void Launch(const std::string& commandLine, WindowStyle style, bool wait, const std::string& directory);

    FileSystem& files_;
    Console* console_;
    std::string successor_, successorDirectory_;
    DWORD lastExitCode_ = 0;
};

// The first word of a command line (the program), without its quotes.
std::string ProgramName(std::string_view commandLine);

// The real version record: GetVersionExA, which tells the true version to a
// program whose manifest names the systems it supports (pavuto.exe has one).
class Win32SystemInfo : public SystemInfo {
public:
    std::optional<VersionRecord> WindowsVersion() override;
    std::string Description() override { return "Windows"; }
};

// mciSendStringA with the command strings as the player composes them,
// waveOutGetNumDevs and GetShortPathNameA.
class Win32Media : public Media {
public:
    explicit Win32Media(FileSystem& files) : files_(files) {}
    int Send(const std::string& command, std::string& result) override;
    int WaveOutDevices() override;
    bool ShortPath(const std::string& path, std::string& shortPath) override;

private:
    FileSystem& files_;
};

// The running program file, and shortcuts as shell links (IShellLinkA with
// IPersistFile) in the desktop folder (SHGetSpecialFolderLocation with the
// desktop's id 0, SHGetPathFromIDListA). A test names its own folder.
class Win32Shell : public Shell {
public:
    using DesktopFolder = std::function<std::string()>;  // host path, or empty
    Win32Shell(FileSystem& files, DesktopFolder desktop = {});
    std::vector<std::string> ProgramFiles() override;
    int CreateShortcut(const Shortcut& link) override;

private:
    FileSystem& files_;
    DesktopFolder desktop_;
};

// The desktop folder of the user (host path), or empty.
std::string UserDesktopFolder();
// The show command of a window style (SW_...).
int ShowCommandFor(WindowStyle style);

}  // namespace pavuto::host::win32
