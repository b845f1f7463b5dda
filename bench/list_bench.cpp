// What lists cost: sorting 32000 records, building a list of 32000 files in
// 500 directories, a page change, counting the lines of a list and searching
// a directory of 32000 entries.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "bench_host.hpp"
#include "config/list_config.hpp"
#include "lists/builder.hpp"
#include "lists/list_file.hpp"
#include "lists/sort.hpp"
#include "ui/search.hpp"

namespace pavuto::bench {
namespace {

constexpr int kRecords = 32000;

// Records of 120 bytes: a title field of 69 and a directory field of 49.
std::vector<std::string> MakeRecords(unsigned seed) {
    std::mt19937 rng(seed);
    const std::string letters = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\xE4\xF6\xFC-";
    std::vector<std::string> out;
    out.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        std::string title;
        int n = 10 + static_cast<int>(rng() % 50);
        for (int k = 0; k < n; ++k) title += letters[rng() % letters.size()];
        out.push_back(PadRight(title, 69) +
                      PadRight(">Musik\\Ordner" + std::to_string(rng() % 500) + "<", 49) + "\r\n");
    }
    return out;
}

std::string Join(const std::vector<std::string>& records) {
    std::string s;
    for (const auto& r : records) s += r;
    return s;
}

enum class Order { Random, Sorted, Reversed };

void SortList(benchmark::State& state, Order order) {
    BenchHost host;
    Program& p = host.program();
    auto records = MakeRecords(42);
    if (order != Order::Random) {
        std::sort(records.begin(), records.end(),
                  [&](const std::string& a, const std::string& b) { return CollateLess(p.collation, a, b); });
        if (order == Order::Reversed) std::reverse(records.begin(), records.end());
    }
    const std::string bytes = Join(records);
    int passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host.Write("home/Rock.pavuto", bytes);
        state.ResumeTiming();
        SortStats stats;
        benchmark::DoNotOptimize(SortListFile(p, "C:\\home\\Rock.pavuto", nullptr, &stats));
        passes = stats.passes;
    }
    state.counters["passes"] = passes;
}
BENCHMARK_CAPTURE(SortList, random, Order::Random)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortList, sorted, Order::Sorted)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortList, reversed, Order::Reversed)->Unit(benchmark::kMillisecond);

// For comparison: the same records sorted in memory, without the budget of 500.
void SortInMemoryForComparison(benchmark::State& state) {
    BenchHost host;
    Program& p = host.program();
    const auto records = MakeRecords(42);
    for (auto _ : state) {
        auto copy = records;
        std::sort(copy.begin(), copy.end(),
                  [&](const std::string& a, const std::string& b) { return CollateLess(p.collation, a, b); });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(SortInMemoryForComparison)->Unit(benchmark::kMillisecond);

// 32000 files in 500 directories, made once.
BenchHost& Tree() {
    static BenchHost host;
    static bool made = false;
    if (!made) {
        std::mt19937 rng(7);
        std::vector<std::string> paths;
        for (int d = 0; d < 500; ++d) {
            std::string dir = "Musik/Gruppe" + std::to_string(d / 25) + "/Ordner" + std::to_string(d);
            paths.push_back("C:\\" + ReplaceAll(dir, "/", "\\") + "\\");
            for (int f = 0; f < 64; ++f)
                host.Write(dir + "/Titel " + std::to_string(rng() % 100000) + " - Band " + std::to_string(f) + ".mp3",
                           "");
        }
        Program& p = host.program();
        p.settings.configurationName = "Default";
        CreateListConfiguration(p, "C:\\home\\Rock.config", paths, ConfigHeader::Dialogue);
        p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
        made = true;
    }
    return host;
}

// A rebuild as the user starts it: every search path read, the new list
// sorted and put in the place of the old one.
void BuildList(benchmark::State& state) {
    BenchHost& host = Tree();
    Program& p = host.program();
    for (auto _ : state) {
        BuildFromConfiguration(p, p.browser.CurrentListConfiguration);
        ReturnToStart(p);
    }
    state.counters["records"] = CountListLines(p.files(), p.listConfig.listFilePath);
}
BENCHMARK(BuildList)->Unit(benchmark::kMillisecond);

BenchHost& SortedList() {
    static BenchHost host;
    static bool made = false;
    if (!made) {
        host.Write("home/Rock.pavuto", Join(MakeRecords(3)));
        host.program().browser.CurrentListFile = "C:\\home\\Rock.pavuto";
        made = true;
    }
    return host;
}

void PageChange(benchmark::State& state) {
    Program& p = SortedList().program();
    std::mt19937 rng(1);
    for (auto _ : state) {
        p.window.FirstRecord = 1 + static_cast<int>(rng() % (kRecords - 2 * p.con.PageRows));
        LoadWindow(p);
        benchmark::DoNotOptimize(p.window.Titles[static_cast<size_t>(p.window.FirstRecord)]);
    }
}
BENCHMARK(PageChange)->Unit(benchmark::kMicrosecond);

void CountLines(benchmark::State& state) {
    Program& p = SortedList().program();
    for (auto _ : state) benchmark::DoNotOptimize(CountListLines(p.files(), "C:\\home\\Rock.pavuto"));
}
BENCHMARK(CountLines)->Unit(benchmark::kMicrosecond);

// A directory search through 32000 entries without a hit: the look for Esc
// between two entries does not pause (the console here answers at once).
void DirectorySearch(benchmark::State& state) {
    static BenchHost host;
    Program& p = host.program();
    for (int i = 1; i <= kRecords; ++i)
        p.window.Titles[static_cast<size_t>(i)] = "Titel " + std::to_string(i) + " - Band " + std::to_string(i % 97) + ".mp3";
    p.window.RecordCount = kRecords;
    p.browser.ListOpen = 0;
    for (auto _ : state) {
        // "weiter suchen" from the top: no question, the whole directory.
        p.browser.SearchActive = 1;
        p.browser.SearchTerm = "nirgends";
        p.browser.LastHit = 0;
        Search(p);
        benchmark::DoNotOptimize(p.browser.SearchActive);
    }
}
BENCHMARK(DirectorySearch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pavuto::bench

BENCHMARK_MAIN();
