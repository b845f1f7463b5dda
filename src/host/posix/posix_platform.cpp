// The POSIX platform: the terminal console, libmpv for sound, and the
// successor (the restart after an installation) run in this process's place.
#include <cstdio>

#include "host/platform.hpp"
#include "host/posix/mpv_media.hpp"
#include "host/posix/posix_console.hpp"
#include "host/posix/posix_host.hpp"

namespace pavuto::host {

namespace {

class PosixPlatform : public Platform {
public:
    explicit PosixPlatform(std::vector<std::string> arguments)
        : host_(std::make_unique<posix::PosixHost>(
              std::make_unique<posix::PosixConsole>(),
              [](FileSystem& files) -> std::unique_ptr<Media> { return std::make_unique<posix::MpvMedia>(files); },
              std::move(arguments))) {}

    Host& host() override { return host_->host(); }

    int End(int exitCode) override {
        posix::PosixProcesses::Successor successor;
        bool restart = host_->processes().TakeSuccessor(successor);
        host_.reset();  // the terminal as it was found
        if (!restart) return exitCode;
        // The program that starts in our place gets the terminal as the
        // console left it.
        int error = posix::RunInPlace(successor);
        std::fprintf(stderr, "pavuto: Neustart nicht m\xC3\xB6glich (Fehler %d)\n", error);
        return 1;
    }

private:
    std::unique_ptr<posix::PosixHost> host_;
};

}  // namespace

std::unique_ptr<Platform> MakePlatform(std::vector<std::string> arguments) {
    return std::make_unique<PosixPlatform>(std::move(arguments));
}

std::unique_ptr<FileSystem> MakeFileSystemOn(const std::string& root) {
    return std::make_unique<posix::PosixFileSystem>(posix::DriveMap{{{'C', root}}});
}

}  // namespace pavuto::host
