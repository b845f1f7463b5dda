// shutdown.exe: the program's shutdown program on POSIX. "/s" or "-s" powers
// the machine off, "/h" or "-h" hibernates it, through systemctl (found on
// PATH, started without a shell).
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "common/text.hpp"
#include "host/posix/posix_processes.hpp"

int main(int argc, char** argv) {
    using namespace pavuto;
    const char* action = nullptr;
    if (argc == 2) {
        std::string s = argv[1];
        if (EqualsNoCase(s, "/s") || EqualsNoCase(s, "-s")) action = "poweroff";
        if (EqualsNoCase(s, "/h") || EqualsNoCase(s, "-h")) action = "hibernate";
    }
    if (!action) {
        std::cerr << "Aufruf: shutdown.exe /s | -s (ausschalten) oder /h | -h (Ruhezustand)\n";
        return 1;
    }
    const char* path = std::getenv("PATH");
    std::string systemctl = host::posix::FindOnPath("systemctl", path ? path : "");
    if (systemctl.empty()) {
        std::cerr << "shutdown.exe: systemctl nicht gefunden\n";
        return 1;
    }
    char* const args[] = {const_cast<char*>("systemctl"), const_cast<char*>(action), nullptr};
    execv(systemctl.c_str(), args);
    std::cerr << "shutdown.exe: " << systemctl << ": " << std::strerror(errno) << "\n";
    return 1;
}
