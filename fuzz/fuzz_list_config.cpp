// List configurations from arbitrary file bytes: the keys and the search
// paths are read, the widths stay within what the list format holds, a
// configuration written from what was read reads back the same, and
// rewriting a width changes nothing but the digits after its key.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "common/runtime_error.hpp"
#include "config/list_config.hpp"
#include "fuzz_check.hpp"
#include "program.hpp"
#include "fuzz_program.hpp"

using namespace pavuto;
using fuzz::Visible;

namespace {

const Text kConfig = "C:\\listen\\Rock.config";
const Text kCopy = "C:\\listen\\Kopie.config";

bool DigitOrBlank(char c) { return c == ' ' || (c >= '0' && c <= '9'); }

// Keys are found anywhere in a line: a value that holds a key's name is read
// as that key too, so such values are not expected to come back alone.
bool HoldsKeyName(const Text& value) {
    Text upper = UCase(value);
    for (const char* key : {"CONFIGURATION=", "DATEIENDUNG=", "ZIELDATEI1=", "MAXDL=", "MAXDLDIR=", "NURNAMENSLISTE="})
        if (Instr(upper, key) > 0) return true;
    return false;
}

std::vector<Text> SearchPathsOf(const Program& p) {
    const auto& w = p.window;
    return std::vector<Text>(w.SearchPaths.begin() + 1, w.SearchPaths.begin() + 1 + w.SearchPathCount);
}

void CheckRead(Program& p, test::TestHost& h, bool named) {
    const auto& lc = p.listConfig;
    FUZZ_CHECK(lc.MAXDL >= 30 && lc.MAXDL <= 999, "MAXDL " + std::to_string(lc.MAXDL));
    FUZZ_CHECK(lc.MAXDLDIR >= 30 && lc.MAXDLDIR <= 999, "MAXDLDIR " + std::to_string(lc.MAXDLDIR));
    FUZZ_CHECK(lc.NURNAMENSLISTE <= 1, "NURNAMENSLISTE " + std::to_string(lc.NURNAMENSLISTE));
    if (named) {
        FUZZ_CHECK(StartsWith(lc.listFilePath, "C:\\listen\\") && EndsWith(lc.listFilePath, ".pavuto"),
              "list file " + Visible(lc.listFilePath));
        FUZZ_CHECK(h.files->FileExists(lc.listFilePath), "list file not created: " + Visible(lc.listFilePath));
    }
}

void CheckWidthUpdate(test::TestHost& h, const Text& key, int value) {
    const std::string before = h.temp.Read("listen/Rock.config");
    UpdateWidth(*h.files, kConfig, key, value);
    const std::string after = h.temp.Read("listen/Rock.config");
    FUZZ_CHECK(after.size() == before.size(), "rewriting " + key + " changes the file's size");
    for (size_t i = 0; i < before.size(); ++i)
        FUZZ_CHECK(before[i] == after[i] || (DigitOrBlank(before[i]) && DigitOrBlank(after[i])),
              "rewriting " + key + " changes byte " + std::to_string(i) + " " + Visible(before.substr(i, 1)) + " to " +
                  Visible(after.substr(i, 1)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    int width = in.ConsumeIntegralInRange(10, 999);
    Text file = in.ConsumeRemainingBytesAsString();

    static fuzz::FuzzProgram run;
    Program& p = run.Fresh();
    test::TestHost& h = run.h;
    h.temp.Write("listen/Rock.config", file);
    try {
        bool named = ReadListConfiguration(p, kConfig);
        CheckRead(p, h, named);
        FUZZ_CHECK(ReadSearchPaths(p, kConfig), "search paths of an existing file not read");
        FUZZ_CHECK(p.window.SearchPathCount < RecordLimit, "more search paths than the table holds");
        for (const Text& s : SearchPathsOf(p)) FUZZ_CHECK(!s.empty(), "an empty search path");

        // Written from what was read, and read again.
        const Text name = p.settings.configurationName, extension = p.settings.listExtension;
        const std::vector<Text> paths = SearchPathsOf(p);
        const int namesOnly = p.listConfig.NURNAMENSLISTE;
        CreateListConfiguration(p, kCopy, paths, ConfigHeader::DriveScan);
        // The same program with the start state of what reading sets.
        Program& q = p;
        q.settings = Settings{};
        q.listConfig = ListConfigState{};
        FUZZ_CHECK(ReadListConfiguration(q, kCopy), "a written configuration names no list");
        CheckRead(q, h, true);
        FUZZ_CHECK(q.listConfig.listFilePath == "C:\\listen\\Kopie.pavuto" || HoldsKeyName(name) || HoldsKeyName(extension),
              "written configuration names the list " + Visible(q.listConfig.listFilePath));
        if (!HoldsKeyName(name) && !HoldsKeyName(extension)) {
            FUZZ_CHECK(q.settings.configurationName == name, "configuration name " + Visible(name) + " read back as " +
                                                            Visible(q.settings.configurationName));
            FUZZ_CHECK(q.settings.listExtension == extension,
                  "extension " + Visible(extension) + " read back as " + Visible(q.settings.listExtension));
            if (namesOnly == 0 || namesOnly == 1)
                FUZZ_CHECK(q.listConfig.NURNAMENSLISTE == namesOnly, "NURNAMENSLISTE " + std::to_string(namesOnly) +
                                                                    " read back as " +
                                                                    std::to_string(q.listConfig.NURNAMENSLISTE));
        }
        FUZZ_CHECK(q.listConfig.MAXDL == 30 && q.listConfig.MAXDLDIR == 30, "a new configuration's widths are not 30");
        FUZZ_CHECK(ReadSearchPaths(q, kCopy), "search paths of the written file not read");
        FUZZ_CHECK(SearchPathsOf(q) == paths, "search paths do not read back");

        CheckWidthUpdate(h, "MAXDL=", width);
        CheckWidthUpdate(h, "MAXDLDIR=", width);
    } catch (const RuntimeError&) {
        // The list file the configuration names cannot be made (another
        // drive, a missing directory, a name too long): a failure with its
        // error number, which the program's error trap reports.
    } catch (const test::ScriptExhausted&) {
        pavuto::fuzz::Fail("reading a configuration waits for input");
    }
    return 0;
}
