#pragma once
// The one program-wide state, gathered from the subsystems' own structs and
// passed by reference. No globals: tests build as many programs as they like.
#include <random>

#include "config/state.hpp"
#include "console/console.hpp"
#include "errors/errors.hpp"
#include "fileops/state.hpp"
#include "host/host.hpp"
#include "lists/state.hpp"
#include "playback/state.hpp"
#include "config/settings.hpp"
#include "ui/state.hpp"

namespace pavuto {

struct Program {
    explicit Program(host::Host& h) : host(h), con(h.console, h.clock) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    host::Host& host;
    ConsoleLayer con;
    Settings settings;
    ErrorState errors;
    ConfigState config;
    ListConfigState listConfig;
    RecordWindow window;
    CollationTable collation{};
    BrowserState browser;
    PlayerState player;
    TimerState timer;
    FileOpsState fileops;
    std::mt19937 random;

    host::FileSystem& files() { return host.files; }
};

}  // namespace pavuto
