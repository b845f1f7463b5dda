// pavuto-cmd: the program's own command interpreter. "pavuto-cmd /C file"
// runs a batch file the program wrote, or opens any other file with the
// desktop's association. The drive letters are those of the main program
// (PAVUTO_DRIVES).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "host/posix/command_interpreter.hpp"
#include "host/posix/posix_environment.hpp"
#include "host/posix/posix_signals.hpp"

int main(int argc, char** argv) {
    using namespace pavuto::host::posix;
    IgnoreWriteSignals();  // "echo ... >file" past the file-size limit is an error, not the end
    try {
        std::vector<std::string> arguments(argv, argv + argc);
        PosixFileSystem files(DriveMap::FromEnvironment());
        std::string directory = PosixEnvironment::CompanionDirectory();
        PosixProcesses processes(files, nullptr, directory);
        CommandInterpreter interpreter(files, processes, PosixEnvironment::ProcessEnvironment(), directory, std::cout,
                                       std::cerr);
        return interpreter.Main(arguments);
    } catch (const std::exception& e) {
        std::cerr << "pavuto-cmd: " << e.what() << "\n";
        return 1;
    }
}
