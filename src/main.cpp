// Pavuto: builds the POSIX host and the program state and runs the start
// sequence. The console restores the terminal on every way out.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "host/posix/mpv_media.hpp"
#include "host/posix/posix_console.hpp"
#include "host/posix/posix_host.hpp"
#include "program.hpp"
#include "startup/start.hpp"

int main(int argc, char** argv) {
    using namespace pavuto;
    std::vector<std::string> arguments(argv, argv + argc);
    int exitCode = 0;
    try {
        host::posix::PosixHost posix(
            std::make_unique<host::posix::PosixConsole>(),
            [](host::FileSystem& files) -> std::unique_ptr<host::Media> {
                return std::make_unique<host::posix::MpvMedia>(files);
            },
            arguments);
        auto program = std::make_unique<Program>(posix.host());
        try {
            RunStartSequence(*program);
        } catch (const ProgramEnd& end) {
            exitCode = end.exitCode;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pavuto: %s\n", e.what());
        return 1;
    }
    return exitCode;
}
