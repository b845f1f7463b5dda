#pragma once
// The running system: no Windows version record, but a short honest
// description from uname ("Linux 6.1.0-18-amd64 x86_64").
#include "host/system.hpp"

namespace pavuto::host::posix {

class PosixSystemInfo : public SystemInfo {
public:
    std::optional<VersionRecord> WindowsVersion() override { return std::nullopt; }
    std::string Description() override;

    // The text for these uname fields. It never contains "XP": the program
    // takes a text with "XP" for the old Windows and its old shutdown switches.
    static std::string Describe(const std::string& system, const std::string& release, const std::string& machine);
};

}  // namespace pavuto::host::posix
