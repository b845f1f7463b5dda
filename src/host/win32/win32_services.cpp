#include "host/win32/win32_services.hpp"

#include <mmsystem.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

#include "common/runtime_error.hpp"
#include "host/win32/win32_console.hpp"
#include "host/win32/win32_filesystem.hpp"

namespace pavuto::host::win32 {

// --- clock ---

void Win32Clock::Pause(int milliseconds) {
    Win32Console::FlushActive();
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

LocalTime Win32Clock::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
}

// --- environment ---

std::vector<std::string> Win32Environment::Block() {
    std::vector<std::string> out;
    LPCH block = GetEnvironmentStringsA();
    if (!block) return out;
    for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) out.emplace_back(entry);
    FreeEnvironmentStringsA(block);
    return out;
}

std::string TextAfterProgramName(std::string_view line) {
    std::size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (!quoted && (line[i] == ' ' || line[i] == '\t')) break;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return std::string(line.substr(i));
}

std::string Win32Environment::CommandLine() { return TextAfterProgramName(GetCommandLineA()); }

// --- processes ---

int ShowCommandFor(WindowStyle style) {
    switch (style) {
        case WindowStyle::Hidden: return SW_HIDE;
        case WindowStyle::Normal: return SW_SHOWNORMAL;
        case WindowStyle::Minimised: return SW_SHOWMINIMIZED;
        case WindowStyle::Maximised: return SW_SHOWMAXIMIZED;
        case WindowStyle::NoActivate: return SW_SHOWNOACTIVATE;
    }
    return SW_SHOWNORMAL;
}

namespace {
// The process's own current directory set to the program's for a while: a
// program named without a folder is looked for there, as when the program
// changes directories itself.
class InDirectory {
public:
    explicit InDirectory(const std::string& directory) {
        DWORD n = GetCurrentDirectoryA(sizeof saved_, saved_);
        restore_ = n > 0 && n < sizeof saved_ && !directory.empty() && SetCurrentDirectoryA(directory.c_str());
    }
    ~InDirectory() {
        if (restore_) SetCurrentDirectoryA(saved_);
    }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    char saved_[MAX_PATH * 2] = {};
    bool restore_ = false;
};
}  // namespace

std::string ProgramName(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    std::string name;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && (c == ' ' || c == '\t')) break;
        else name += c;
    }
    return name;
}

void Win32Processes::Launch(const std::string& commandLine, WindowStyle style, bool wait,
                            const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowCommandFor(style));
    PROCESS_INFORMATION info{};
    std::string line = commandLine;  // CreateProcessA may write into it
    const bool takesConsole = wait && console_ && style != WindowStyle::Hidden && style != WindowStyle::NoActivate;
    // A console program waited for in a window has the program's console
    // meanwhile; any other gets a console of its own, in the window style
    // asked for, or none when hidden, so that it neither writes into the
    // program's screen nor reads its input. (Programs with windows of their
    // own take no notice of either.)
    const DWORD flags = takesConsole ? 0 : style == WindowStyle::Hidden ? CREATE_NO_WINDOW : CREATE_NEW_CONSOLE;
    if (takesConsole) console_->Suspend();
    BOOL started = FALSE;
    DWORD error = 0;
    {
        InDirectory here(directory);
        started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                                 directory.empty() ? nullptr : directory.c_str(), &startup, &info);
        error = started ? 0 : GetLastError();
    }
    if (started) {
        if (wait) {
            WaitForSingleObject(info.hProcess, INFINITE);
            GetExitCodeProcess(info.hProcess, &lastExitCode_);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    if (takesConsole) console_->Resume();
    if (!started) throw RuntimeError(ErrorNumberFor(error), commandLine);
}

void Win32Processes::Start(const std::string& commandLine, WindowStyle style, bool wait) {
    Launch(commandLine, style, wait, files_.HostPath(files_.CurrentDirectory()));
}

void Win32Processes::StartAfterEnd(const std::string& commandLine) {
    std::string program = ProgramName(commandLine);
    const std::string directory = files_.HostPath(files_.CurrentDirectory());
    char found[MAX_PATH];
    // The way CreateProcessA looks for a program: as named, else with ".exe".
    InDirectory here(directory);
    if (program.empty() || (SearchPathA(nullptr, program.c_str(), nullptr, MAX_PATH, found, nullptr) == 0 &&
                            SearchPathA(nullptr, program.c_str(), ".exe", MAX_PATH, found, nullptr) == 0))
        throw RuntimeError(err::FileNotFound, commandLine);
    successor_ = commandLine;
    successorDirectory_ = directory;
}

bool Win32Processes::StartSuccessor() {
    if (successor_.empty()) return false;
    try {
        Launch(successor_, WindowStyle::Normal, false, successorDirectory_);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

// --- version ---

std::optional<VersionRecord> Win32SystemInfo::WindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return std::nullopt;
#pragma GCC diagnostic pop
    VersionRecord r;
    r.major = static_cast<int>(info.dwMajorVersion);
    r.minor = static_cast<int>(info.dwMinorVersion);
    r.build = static_cast<int>(info.dwBuildNumber);
    r.platformId = static_cast<int>(info.dwPlatformId);
    r.servicePack = info.szCSDVersion;
    return r;
}

// --- media ---

int Win32Media::Send(const std::string& command, std::string& result) {
    char answer[512] = {};
    MCIERROR error = mciSendStringA(command.c_str(), answer, sizeof answer, nullptr);
    result = answer;
    return static_cast<int>(error);
}

int Win32Media::WaveOutDevices() { return static_cast<int>(waveOutGetNumDevs()); }

bool Win32Media::ShortPath(const std::string& path, std::string& shortPath) {
    std::string host;
    try {
        host = files_.HostPath(path);
    } catch (const RuntimeError&) {
        return false;
    }
    char buf[MAX_PATH * 2];
    DWORD n = GetShortPathNameA(host.c_str(), buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return false;
    shortPath = buf;
    // A volume without short names gives the long path back; a blank in it
    // would end the name in the open command, which takes it in quotes.
    if (shortPath.find(' ') != std::string::npos) shortPath = "\"" + shortPath + "\"";
    return true;
}

// --- shell ---

std::string UserDesktopFolder() {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list)) || !list) return {};
    char path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return ok ? std::string(path) : std::string();
}

Win32Shell::Win32Shell(FileSystem& files, DesktopFolder desktop)
    : files_(files), desktop_(desktop ? std::move(desktop) : DesktopFolder(UserDesktopFolder)) {}

std::vector<std::string> Win32Shell::ProgramFiles() {
    // shutdown.exe and the command interpreter are the system's own.
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return {};
    return {files_.DrivePath(path)};
}

namespace {

// Releases a COM interface at the end of its scope.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
};

}  // namespace

int Win32Shell::CreateShortcut(const Shortcut& link) {
    std::string desktop = desktop_();
    if (desktop.empty()) return 0;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct Uninit {
        bool on;
        ~Uninit() {
            if (on) CoUninitialize();
        }
    } uninit{SUCCEEDED(init)};

    Released<IShellLinkA> shellLink;
    Released<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink.p))) ||
        FAILED(shellLink.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return 0;
    shellLink.p->SetPath(files_.HostPath(link.target).c_str());
    shellLink.p->SetArguments(link.arguments.c_str());
    shellLink.p->SetWorkingDirectory(files_.HostPath(link.workingDirectory).c_str());
    shellLink.p->SetShowCmd(ShowCommandFor(link.show));
    shellLink.p->SetDescription(link.description.c_str());

    // Saved beside its name and put in place when complete: a desktop never
    // keeps half a shortcut. The desktop's own path throughout, as it may lie
    // outside every drive letter (a folder on a server).
    const std::string path = desktop + "\\" + link.name + ".lnk";
    const std::string temp = ReplacementPath(path);
    if (FAILED(file.p->Save(Widened(temp).c_str(), TRUE))) {
        DeleteFileA(temp.c_str());
        throw RuntimeError(err::PathFileAccessError, path);
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        throw RuntimeError(ErrorNumberFor(error), path);
    }
    return 1;
}

}  // namespace pavuto::host::win32
