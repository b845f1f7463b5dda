// The default configuration file: a section is loaded from arbitrary file
// bytes, the settings are saved as "Default" and loaded again. What loading
// read must come back from what saving wrote, and a second save must leave
// the file as the first one did.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "config/default_config.hpp"
#include "fuzz_check.hpp"
#include "program.hpp"
#include "fuzz_program.hpp"

using namespace pavuto;
using fuzz::Visible;

namespace {

struct Saved {
    Text listExtension, player, editor;
    int listDisplay = 0, rows = 0, columns = 0;
    std::array<Text, 21> extensions;
    bool operator==(const Saved&) const = default;
};

Saved Take(const Program& p) {
    return {p.settings.listExtension, p.settings.player,  p.settings.editor,    p.window.ListDisplay,
            p.con.ScreenRows,         p.con.ScreenColumns, p.settings.extensions};
}

std::string Describe(const Saved& s) {
    std::string out = "ext=" + Visible(s.listExtension) + " player=" + Visible(s.player) + " editor=" +
                      Visible(s.editor) + " display=" + std::to_string(s.listDisplay) +
                      " size=" + std::to_string(s.rows) + "x" + std::to_string(s.columns) + " table=";
    for (int i = 1; i <= 20; ++i) out += "[" + Visible(s.extensions[static_cast<size_t>(i)]) + "]";
    return out;
}

void SaveAsDefault(test::TestHost& h, Program& p) {
    // The click on the row of "Default", once the choice is on the screen.
    h.console.Click(5, 10, 1, 1, h.clock.Milliseconds() + 1);
    SaveSettings(p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const char* builtIn[] = {"Default", "mp3", "mpg", "doc"};
    int choice = in.ConsumeIntegralInRange(0, 4);
    Text name = choice < 4 ? Text(builtIn[choice]) : in.ConsumeRandomLengthString(24);
    Text file = in.ConsumeRemainingBytesAsString();

    static fuzz::FuzzProgram run;
    Program& p = run.Fresh();
    test::TestHost& h = run.h;
    h.temp.Write("tmp/.keep", "");
    h.temp.Write("pavuto.config", file);
    h.temp.Write("player.exe", "");  // a player the file may name
    p.settings.configurationPath = "C:\\pavuto.config";
    p.settings.tempDirectory = "C:\\tmp\\";
    p.settings.extensions = BuiltInExtensions();
    p.settings.configurationName = name;
    try {
        LoadConfiguration(p);
        FUZZ_CHECK(p.con.ScreenRows >= 10 && p.con.ScreenRows <= 800 && p.con.ScreenColumns >= 10 &&
                  p.con.ScreenColumns <= 800,
              "window of " + std::to_string(p.con.ScreenRows) + "x" + std::to_string(p.con.ScreenColumns));
        FUZZ_CHECK(p.settings.player.empty() || h.files->FileExists(p.settings.player),
              "a player that does not exist: " + Visible(p.settings.player));
        const Saved loaded = Take(p);

        SaveAsDefault(h, p);
        const std::string first = h.temp.Read("pavuto.config");
        p.settings.configurationName = "Default";
        LoadConfiguration(p);
        const Saved again = Take(p);
        FUZZ_CHECK(again == loaded, "saved and loaded again:\n  " + Describe(again) + "\nwhat was loaded first:\n  " +
                                   Describe(loaded));

        SaveAsDefault(h, p);
        FUZZ_CHECK(h.temp.Read("pavuto.config") == first, "a second save changes the file");
    } catch (const test::ScriptExhausted&) {
        pavuto::fuzz::Fail("the configuration waits for input it was not given");
    }
    return 0;
}
