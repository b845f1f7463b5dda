#pragma once
// The POSIX host as one object: the drive-letter file system (drive map from
// PAVUTO_DRIVES), the machine's clock, process starter, environment and
// system description, the media back end and the terminal console. Building
// it makes SIGPIPE and SIGXFSZ ignored for the program (a write fails with an
// error number instead).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/host.hpp"
#include "host/posix/posix_clock.hpp"
#include "host/posix/posix_environment.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_shell.hpp"
#include "host/posix/posix_system_info.hpp"

namespace pavuto::host::posix {

class PosixHost {
public:
    // Makes the media back end once the file system stands (it translates
    // the paths it opens).
    using MediaFactory = std::function<std::unique_ptr<Media>(FileSystem&)>;

    // console: the terminal console; makeMedia: the media back end, or empty
    // for a machine without sound (NoSoundMedia); arguments: argv[0] onwards.
    PosixHost(std::unique_ptr<Console> console, MediaFactory makeMedia, std::vector<std::string> arguments);
    PosixHost(const PosixHost&) = delete;
    PosixHost& operator=(const PosixHost&) = delete;

    Host& host() { return host_; }
    PosixFileSystem& files() { return files_; }
    PosixProcesses& processes() { return processes_; }

private:
    std::unique_ptr<Console> console_;
    std::string companionDirectory_;  // pavuto-cmd and shutdown.exe
    PosixFileSystem files_;
    std::unique_ptr<Media> media_;
    PosixClock clock_;
    PosixProcesses processes_;
    PosixEnvironment environment_;
    PosixSystemInfo system_;
    PosixShell shell_;
    Host host_;
};

}  // namespace pavuto::host::posix
