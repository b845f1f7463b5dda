// The Win32 platform: the real console, drives, clock, environment, process
// start, version record, multimedia and shell. After the program's end the
// console is given back first; a program named by StartAfterEnd (the
// restart after an installation) is then started without waiting, and this
// one ends.
#include <windows.h>

#include <cstdio>

#include "host/platform.hpp"
#include "host/win32/win32_console.hpp"
#include "host/win32/win32_filesystem.hpp"
#include "host/win32/win32_services.hpp"

namespace pavuto::host {

namespace {

class Win32Platform : public Platform {
public:
    Win32Platform()
        : errorMode_(NoSystemErrorBoxes()),
          console_(std::make_unique<win32::Win32Console>()),
          files_(win32::DriveRoots::Real()),
          processes_(files_, console_.get()),
          media_(files_),
          shell_(files_),
          host_{*console_, clock_, files_, processes_, environment_, media_, system_, shell_} {}

    Host& host() override { return host_; }

    int End(int exitCode) override {
        console_->Restore();
        if (!processes_.HasSuccessor() || processes_.StartSuccessor()) return exitCode;
        std::fprintf(stderr, "pavuto: Neustart nicht m\x94glich\n");
        return 1;
    }

private:
    // A drive without a medium (a card reader, an empty drive) answers "not
    // ready" instead of the system's dialogue, which would hold the program.
    static UINT NoSystemErrorBoxes() { return SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

    UINT errorMode_;
    std::unique_ptr<win32::Win32Console> console_;
    win32::Win32FileSystem files_;
    win32::Win32Clock clock_;
    win32::Win32Processes processes_;
    win32::Win32Environment environment_;
    win32::Win32Media media_;
    win32::Win32SystemInfo system_;
    win32::Win32Shell shell_;
    Host host_;
};

}  // namespace

std::unique_ptr<Platform> MakePlatform(std::vector<std::string>) { return std::make_unique<Win32Platform>(); }

std::unique_ptr<FileSystem> MakeFileSystemOn(const std::string& root) {
    return std::make_unique<win32::Win32FileSystem>(win32::DriveRoots{{{'C', root}}});
}

}  // namespace pavuto::host
