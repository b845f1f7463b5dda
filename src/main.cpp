// Pavuto: builds the POSIX host and the program state and runs the start
// sequence. The console restores the terminal on every way out; a program
// that is to start in our place (the restart after an installation) runs
// once it has.
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
    host::posix::PosixProcesses::Successor successor;
    bool restart = false;
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
        restart = posix.processes().TakeSuccessor(successor);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pavuto: %s\n", e.what());
        return 1;
    }
    // The program that starts in our place (after an installation) gets
    // the terminal as the console left it.
    if (restart) {
        int error = host::posix::RunInPlace(successor);
        std::fprintf(stderr, "pavuto: Neustart nicht m\xC3\xB6glich (Fehler %d)\n", error);
        return 1;
    }
    return exitCode;
}
