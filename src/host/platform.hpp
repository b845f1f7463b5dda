#pragma once
// The host of the platform the program is built for: one factory, defined
// once in src/host/posix/ and once in src/host/win32/; the build compiles
// the folder its platform setting (PAVUTO_HOST) names.
#include <memory>
#include <string>
#include <vector>

#include "host/host.hpp"

namespace pavuto::host {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Host& host() = 0;
    // The program has ended with exitCode: gives the console back as it was
    // found, then starts what the program asked to start in its place
    // (Processes::StartAfterEnd). Returns the exit code of this process.
    virtual int End(int exitCode) = 0;
};

// arguments: the command line as the process got it, argv[0] onwards.
std::unique_ptr<Platform> MakePlatform(std::vector<std::string> arguments);

// This platform's file system with only one drive, C:, on the host
// directory root (a path as std::filesystem names it). The tests run on it.
std::unique_ptr<FileSystem> MakeFileSystemOn(const std::string& root);

}  // namespace pavuto::host
