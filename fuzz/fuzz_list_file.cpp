// List files from arbitrary bytes: measuring, loading a window in each
// display mode, counting lines and sorting (in memory up to 500 records, by
// block passes beyond). After a sort the records are in order, none is lost
// or changed, their numbers travelled with them, and the line ends and the
// bytes behind the last record stay where they were.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "lists/collation.hpp"
#include "lists/list_file.hpp"
#include "lists/sort.hpp"
#include "program.hpp"
#include "fuzz_program.hpp"

using namespace pavuto;
using fuzz::Visible;

namespace {

const Text kList = "C:\\home\\Rock.pavuto";

// Lines as sequential reading gives them: CR LF, LF or CR end a line.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

void CheckInMemorySort(Program& p, const std::string& before, const std::string& after, const std::vector<int>& numbers) {
    auto in = Lines(before), out = Lines(after);
    FUZZ_CHECK(out.size() == in.size(), "sorting in memory made " + std::to_string(out.size()) + " lines of " +
                                       std::to_string(in.size()));
    FUZZ_CHECK(numbers.size() == in.size(), "one number per line");
    for (size_t k = 0; k < out.size(); ++k) {
        if (k > 0) FUZZ_CHECK(!CollateLess(p.collation, out[k], out[k - 1]), "out of order at line " + std::to_string(k));
        int n = numbers[k];
        if (n >= 1) FUZZ_CHECK(out[k] == in[static_cast<size_t>(n - 1)], "line " + std::to_string(k) + " lost its number");
    }
    auto a = in, b = out;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    FUZZ_CHECK(a == b, "lines lost or changed by sorting in memory");
}

void CheckBlockSort(Program& p, const std::string& before, const std::string& after, int L, int N,
                    const std::vector<int>& numbers) {
    FUZZ_CHECK(after.size() == before.size(), "sorting by blocks changed the file's size");
    const size_t T = static_cast<size_t>(L - 2), end = static_cast<size_t>(N) * static_cast<size_t>(L);
    FUZZ_CHECK(after.compare(end, std::string::npos, before, end, std::string::npos) == 0,
          "the bytes behind the last record changed");
    FUZZ_CHECK(numbers.size() == static_cast<size_t>(N), "one number per record");
    std::string previous;
    for (int k = 0; k < N; ++k) {
        size_t at = static_cast<size_t>(k) * static_cast<size_t>(L);
        std::string record = after.substr(at, T);
        FUZZ_CHECK(after.compare(at + T, 2, before, at + T, 2) == 0, "the line end of record " + std::to_string(k) + " moved");
        if (k > 0) FUZZ_CHECK(!CollateLess(p.collation, record, previous), "out of order at record " + std::to_string(k));
        int n = numbers[static_cast<size_t>(k)];
        FUZZ_CHECK(n >= 1 && n <= N, "record " + std::to_string(k) + " has number " + std::to_string(n));
        FUZZ_CHECK(before.compare(static_cast<size_t>(n - 1) * static_cast<size_t>(L), T, record) == 0,
              "record " + std::to_string(k) + " is not the one its number names: " + Visible(record));
        previous = record;
    }
    std::vector<int> seen = numbers;
    std::sort(seen.begin(), seen.end());
    for (int k = 0; k < N; ++k) FUZZ_CHECK(seen[static_cast<size_t>(k)] == k + 1, "a record was sorted twice or never");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int display = in.ConsumeIntegralInRange(0, 2);
    const int first = in.ConsumeIntegralInRange(1, 700);
    const int pageRows = in.ConsumeIntegralInRange(0, 40);
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    static fuzz::FuzzProgram run;
    Program& p = run.Fresh(1000);
    test::TestHost& h = run.h;
    h.temp.Write("home/Rock.pavuto", bytes);
    h.console.Key("x", h.clock.Milliseconds());  // for the message of a list longer than the program reaches
    try {
        ListMeasure m = MeasureListFile(p, kList);
        size_t crlf = bytes.substr(0, 2000).find("\r\n");
        FUZZ_CHECK(m.recordLength == (crlf == std::string::npos ? 0 : static_cast<int>(crlf) + 2),
              "record length " + std::to_string(m.recordLength));
        FUZZ_CHECK(m.size == bytes.size(), "size");
        FUZZ_CHECK(m.recordCount == (m.recordLength ? std::min<int>(static_cast<int>(bytes.size()) / m.recordLength,
                                                               kReachableRecords)
                                               : 0),
              "record count " + std::to_string(m.recordCount));

        p.browser.CurrentListFile = kList;
        p.window.ListDisplay = display;
        p.window.FirstRecord = first;
        p.con.PageRows = pageRows;
        FUZZ_CHECK(LoadWindow(p), "an existing list does not load");

        long lines = CountListLines(*h.files, kList);
        FUZZ_CHECK(lines == static_cast<long>(Lines(bytes).size()), "counted " + std::to_string(lines) + " lines");

        std::vector<int> numbers(static_cast<size_t>(m.recordCount));
        for (int k = 0; k < m.recordCount; ++k) numbers[static_cast<size_t>(k)] = k + 1;
        SortStats stats;
        int n = SortListFile(p, kList, &numbers, &stats);
        FUZZ_CHECK(n == m.recordCount, "sorted " + std::to_string(n) + " of " + std::to_string(m.recordCount) + " records");
        const std::string after = h.temp.Read("home/Rock.pavuto");
        if (n == 0) FUZZ_CHECK(after == bytes, "a list without records changed");
        else if (stats.inMemory) CheckInMemorySort(p, bytes, after, numbers);
        else CheckBlockSort(p, bytes, after, m.recordLength, n, numbers);
    } catch (const test::ScriptExhausted&) {
        pavuto::fuzz::Fail("the list waits for more input than one key");
    }
    return 0;
}
