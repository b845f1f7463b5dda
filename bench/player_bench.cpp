// CPU use of the internal player while a title plays: the player's loop
// (poll, status queries, screen lines) on the libmpv device with the null
// audio output and the real clock, for one generated title. Reported as the
// process CPU time (libmpv's threads included) against the wall time.
//
// Compare with the command-line player alone on the same file:
//   mpv --no-video --ao=null <file>   (user + sys time from /usr/bin/time)
// The title length comes from PAVUTO_BENCH_SECONDS (default 20).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "bench_host.hpp"
#include "host/posix/mpv_media.hpp"
#include "host/posix/posix_clock.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "host/screen_buffer.hpp"
#include "playback/player.hpp"
#include "program.hpp"

namespace pavuto::bench {
namespace {

// A screen nobody looks at and no input; waiting for input really waits.
class QuietConsole : public host::Console {
public:
    void SetSize(int rows, int columns) override { screen_.Resize(rows, columns); }
    int Rows() const override { return screen_.Rows(); }
    int Columns() const override { return screen_.Columns(); }
    void Show(host::WindowShow) override {}
    void Move(int, int) override {}
    void Clear() override { screen_.Clear(); }
    void SetColours(int fg, int bg) override { screen_.SetColours(fg, bg); }
    void Locate(int row, int column) override { screen_.Locate(row, column); }
    int CursorRow() const override { return screen_.CursorRow(); }
    int CursorColumn() const override { return screen_.CursorColumn(); }
    void Write(std::string_view text) override { screen_.Write(text); }
    void NewLine() override { screen_.NewLine(); }
    void ShowCursor(bool) override {}
    void Present() override {}
    bool ReadEvent(host::InputEvent&) override { return false; }
    void AwaitInput(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
    void EnableMouse(bool) override {}
    void FlushInput() override {}
    void Beep() override {}
    void Suspend() override {}
    void Resume() override {}

private:
    host::ScreenBuffer screen_{22, 80};
};

std::string SineWav(int seconds) {
    const int rate = 44100;
    auto le = [](std::string& s, unsigned long v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    unsigned long samples = static_cast<unsigned long>(rate) * static_cast<unsigned long>(seconds);
    std::string s = "RIFF";
    le(s, 36 + samples * 2, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);
    le(s, 1, 2);
    le(s, rate, 4);
    le(s, rate * 2, 4);
    le(s, 2, 2);
    le(s, 16, 2);
    s += "data";
    le(s, samples * 2, 4);
    for (unsigned long i = 0; i < samples; ++i) {
        double v = std::sin(2.0 * 3.14159265358979 * 440.0 * static_cast<double>(i) / rate);
        le(s, static_cast<unsigned long>(static_cast<long>(v * 12000)) & 0xFFFF, 2);
    }
    return s;
}

void BM_PlayerPlayingATitle(benchmark::State& state) {
    const char* env = std::getenv("PAVUTO_BENCH_SECONDS");
    int seconds = env ? std::max(3, std::atoi(env)) : 20;
    std::random_device rd;
    auto dir = std::filesystem::temp_directory_path() / ("pavuto-bench-" + std::to_string(rd()));
    std::filesystem::create_directories(dir / "tmp");
    std::ofstream(dir / "titel.wav", std::ios::binary) << SineWav(seconds);
    std::ofstream(dir / "tmp" / "auswahlliste.m3u", std::ios::binary) << "C:\\titel.wav\r\n";

    QuietConsole console;
    host::posix::PosixClock clock;
    host::posix::PosixFileSystem files(host::posix::DriveMap{{{'C', dir.string()}}});
    NoProcesses processes;
    NoEnvironment environment;
    NoSystem system;
    NoShell shell;
    host::posix::MpvOptions options;
    options.audioOutput = "null";
    host::posix::MpvMedia media(files, options);
    host::Host h{console, clock, files, processes, environment, media, system, shell};

    for (auto _ : state) {
        Program p(h);
        p.con.ScreenRows = 22;
        p.con.ScreenColumns = 80;
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.listExtension = ".wav";
        PlaySelection(p);
    }
    state.counters["title_seconds"] = seconds;
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_PlayerPlayingATitle)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
}  // namespace pavuto::bench

BENCHMARK_MAIN();
