#pragma once
// The platform as one bundle of services. host/posix/ builds the real one;
// tests build their own.
#include "host/clock.hpp"
#include "host/console.hpp"
#include "host/filesystem.hpp"
#include "host/system.hpp"

namespace pavuto::host {

struct Host {
    Console& console;
    Clock& clock;
    FileSystem& files;
    Processes& processes;
    Environment& environment;
    Media& media;
    SystemInfo& system;
    Shell& shell;
};

}  // namespace pavuto::host
