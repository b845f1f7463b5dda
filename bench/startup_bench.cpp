// Start to first screen: the real program started in a pseudo-terminal of
// 30 x 80 cells, in a home directory with the built-in pavuto.config (so the
// first-start notice does not come), timed from just before fork until its
// first screen has been written whole (the browser's last line, "(L)iste
// aktualisieren", then the cursor shown again: the end of the one write of
// the screen before the program first waits for a key). Next to it `true`
// started exactly so, timed until it has ended: what any program costs here
// (fork, exec, the loader of a C program, the terminal).
//
// Counters: "libraries", the shared objects mapped into the program when its
// first screen stands (read from /proc/<pid>/maps).
//
// PAVUTO_BENCH_PROGRAM names another program to time in place of the one
// built beside this bench (for instance an older build, for a comparison).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/default_config.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kLastText = "(L)iste aktualisieren";
const std::string kCursorShown = "\x1b[?25h";

struct Home {
    fs::path root, home, tmp;
    Home() {
        std::string pattern = (fs::temp_directory_path() / "pavuto-startbench-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp");
        root = buffer.data();
        home = root / "home";
        tmp = root / "tmp";
        fs::create_directories(home);
        fs::create_directories(tmp);
        // A few entries to show, as a home has them.
        for (int i = 1; i <= 5; ++i) std::ofstream(home / ("Titel " + std::to_string(i) + ".mp3")) << "x";
        std::ofstream(home / "pavuto.config", std::ios::binary) << pavuto::BuiltInConfigurationText();
    }
    ~Home() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

std::string Program() {
    const char* other = std::getenv("PAVUTO_BENCH_PROGRAM");
    return other && *other ? other : std::string(PAVUTO_BIN_DIR) + "/pavuto";
}

struct Started {
    pid_t pid = -1;
    int master = -1;
};

// argv[0] in a new pseudo-terminal as its controlling terminal, in the
// home, with the environment of a plain user session.
Started StartInTerminal(const std::string& program, const Home& h) {
    struct winsize size {};
    size.ws_row = 30;
    size.ws_col = 80;
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty");
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + h.home.string(), "TMPDIR=" + h.tmp.string(),
                                    "TERM=xterm", "LANG=C.UTF-8"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};
    const std::string dir = h.home.string();
    pid_t pid = fork();
    if (pid == 0) {
        setsid();
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, 0);
        dup2(slave, 1);
        dup2(slave, 2);
        if (slave > 2) close(slave);
        close(master);
        if (chdir(dir.c_str()) != 0) _exit(126);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    close(slave);
    if (pid < 0) {
        close(master);
        throw std::runtime_error("fork");
    }
    return {pid, master};
}

// Reads the terminal until the first screen is written whole; false when
// the program ends or 10 seconds pass first.
bool AwaitFirstScreen(int master) {
    std::string out;
    auto until = Clock::now() + std::chrono::seconds(10);
    char buffer[65536];
    while (Clock::now() < until) {
        struct pollfd p {master, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) return false;
        out.append(buffer, static_cast<size_t>(n));
        size_t last = out.find(kLastText);
        if (last != std::string::npos && out.find(kCursorShown, last) != std::string::npos) return true;
    }
    return false;
}

// Drains the terminal until the program has closed it (it has ended).
void AwaitEnd(int master) {
    char buffer[4096];
    while (true) {
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
    }
}

void Reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

int MappedLibraries(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> libraries;
    for (std::string line; std::getline(maps, line);) {
        size_t slash = line.find('/');
        if (slash == std::string::npos) continue;
        std::string path = line.substr(slash);
        if (path.find(".so") != std::string::npos) libraries.insert(path);
    }
    return static_cast<int>(libraries.size());
}

void StartToFirstScreen(benchmark::State& state) {
    Home home;
    const std::string program = Program();
    int libraries = 0;
    for (auto _ : state) {
        auto begin = Clock::now();
        Started s = StartInTerminal(program, home);
        bool drawn = AwaitFirstScreen(s.master);
        auto end = Clock::now();
        libraries = MappedLibraries(s.pid);
        kill(s.pid, SIGTERM);
        AwaitEnd(s.master);
        close(s.master);
        Reap(s.pid);
        if (!drawn) {
            state.SkipWithError("no first screen");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
    state.counters["libraries"] = libraries;
    state.SetLabel(program);
}

void TrueRunTheSameWay(benchmark::State& state) {
    Home home;
    const std::string program = "/bin/true";
    for (auto _ : state) {
        auto begin = Clock::now();
        Started s = StartInTerminal(program, home);
        AwaitEnd(s.master);
        Reap(s.pid);
        auto end = Clock::now();
        close(s.master);
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
    state.SetLabel(program);
}

}  // namespace

BENCHMARK(StartToFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(TrueRunTheSameWay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
