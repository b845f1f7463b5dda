// The command-line splitter (Windows quoting rules). Two ways in:
//   - the input as a command line: whatever it holds, the words and the plain
//     split agree, and a word is empty or holds a blank only when quoted;
//   - the input as an argument vector (NUL-separated): quoted by the rules a
//     caller writes command lines by and split again, it comes back whole.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "host/posix/posix_processes.hpp"

using pavuto::fuzz::Visible;
using pavuto::host::posix::SplitCommandLine;
using pavuto::host::posix::SplitWords;

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// An argument after the program: backslashes count only before a quote.
std::string QuoteArgument(const std::string& arg, bool always) {
    bool needs = always || arg.empty();
    for (char c : arg) needs = needs || Blank(c) || c == '"';
    if (!needs) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(2 * backslashes + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

std::string Describe(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words) out += "[" + Visible(w) + "]";
    return out;
}

void SplitAnyLine(const std::string& line) {
    auto words = SplitWords(line);
    auto plain = SplitCommandLine(line);
    FUZZ_CHECK(words.size() == plain.size(), "words and split differ for " + Visible(line));
    for (size_t i = 0; i < words.size(); ++i) {
        FUZZ_CHECK(words[i].text == plain[i], "words and split differ for " + Visible(line));
        bool blank = false;
        for (char c : words[i].text) blank = blank || Blank(c);
        FUZZ_CHECK(words[i].quoted || (!words[i].text.empty() && !blank),
              "unquoted word " + Visible(words[i].text) + " of " + Visible(line));
    }
}

void RoundTrip(FuzzedDataProvider& in) {
    std::vector<std::string> args;
    std::string all = in.ConsumeRemainingBytesAsString();
    size_t start = 0;
    while (start <= all.size() && args.size() < 64) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    // The program name knows quotes only as grouping: it cannot hold one.
    std::string program;
    for (char c : args[0])
        if (c != '"') program += c;
    args[0] = program;
    bool blank = program.empty();
    for (char c : program) blank = blank || Blank(c);
    std::string line = blank ? "\"" + program + "\"" : program;
    for (size_t i = 1; i < args.size(); ++i) {
        // Separators of blanks and tabs, and quotes now and then where none are needed.
        line += (i % 3 == 0) ? "\t " : " ";
        line += QuoteArgument(args[i], i % 4 == 0);
    }
    auto back = SplitCommandLine(line);
    FUZZ_CHECK(back == args, "split of " + Visible(line) + " gives " + Describe(back) + " instead of " + Describe(args));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SplitAnyLine(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider in(data, size);
    RoundTrip(in);
    return 0;
}
