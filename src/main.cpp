// Pavuto: asks the platform for its host, builds the program state and runs
// the start sequence. The platform gives the console back on every way out;
// a program that is to start in our place (the restart after an
// installation) starts once it has.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "host/platform.hpp"
#include "program.hpp"
#include "startup/start.hpp"

int main(int argc, char** argv) {
    using namespace pavuto;
    std::vector<std::string> arguments(argv, argv + argc);
    try {
        std::unique_ptr<host::Platform> platform = host::MakePlatform(arguments);
        int exitCode = 0;
        {
            auto program = std::make_unique<Program>(platform->host());
            try {
                RunStartSequence(*program);
            } catch (const ProgramEnd& end) {
                exitCode = end.exitCode;
            }
        }
        return platform->End(exitCode);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pavuto: %s\n", e.what());
        return 1;
    } catch (...) {
        // Never expected: the start sequence ends only through the program
        // end. The platform has given the console back on the way here.
        std::fprintf(stderr, "pavuto: unerwartetes Programmende\n");
        return 1;
    }
}
