// The real program hands its selection to programs of the host: with the
// "Default" section (mci=0) three marked titles go to the desktop's
// association and to a configured player as a playlist of host paths in
// marking order, and a marked document goes to the desktop. Stand-ins for
// xdg-open and the player check every entry they get. A session that only
// browses and hands over never maps libmpv.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/default_config.hpp"
#include "e2e/terminal_emulator.hpp"
#include "support/test_host.hpp"

using pavuto::test::TempDir;
using pavuto::test::TerminalEmulator;

namespace {

namespace fs = std::filesystem;
const std::string kDown = "\x1b[B", kUp = "\x1b[A", kEnter = "\r";

// Records one call: the arguments, then for a playlist each entry with
// "ok" where it names an existing file and "fehlt" where not. Written whole
// before it appears (the call runs detached, on its own time).
std::string RecordingStandIn(const fs::path& calls) {
    return "#!/bin/sh\n"
           "t=" + calls.string() + "/.t$$\n"
           "{ for a in \"$@\"; do echo \"arg $a\"; done\n"
           "  case \"$1\" in *.m3u) while IFS= read -r e; do\n"
           "    if [ -f \"$e\" ]; then echo \"ok $e\"; else echo \"fehlt $e\"; fi; done < \"$1\";; esac\n"
           "} > \"$t\"\n"
           "mv \"$t\" " + calls.string() + "/call$$\n";
}

struct OutsidePrograms : ::testing::Test {
    TempDir temp;
    TerminalEmulator term{30, 80};
    fs::path music = temp.path() / "Musik", calls = temp.path() / "calls";

    OutsidePrograms() {
        fs::create_directories(calls);
        fs::create_directories(temp.path() / "tmp");
        fs::create_directories(temp.path() / "userhome");
        for (const char* name : {"Drei.mp3", "Eins.mp3", "Zwei.mp3", "Handbuch.pdf"}) temp.Write(std::string("Musik/") + name, "x");
        Script(temp.path() / "bin" / "xdg-open", RecordingStandIn(calls));
        Script(temp.path() / "bin" / "player", RecordingStandIn(calls));
    }
    static void Script(const fs::path& path, const std::string& body) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << body;
        fs::permissions(path, fs::perms::owner_all);
    }
    // The built-in configuration file, its "Default" section with a player.
    void Configure(const std::string& player) {
        std::string text = pavuto::BuiltInConfigurationText();
        text.replace(text.find("Player=\r\n"), 9, "Player=" + player + "\r\n");
        temp.Write("Musik/pavuto.config", text);
    }
    // Drive D: is the temporary directory; the program starts in D:\Musik,
    // its home. The stand-in for xdg-open comes first on PATH.
    void Start() {
        term.Start({std::string(PAVUTO_BIN_DIR) + "/pavuto"},
                   {"PATH=" + (temp.path() / "bin").string() + ":/usr/bin:/bin",
                    "HOME=" + (temp.path() / "userhome").string(), "TMPDIR=" + (temp.path() / "tmp").string(),
                    "PAVUTO_DRIVES=D=" + temp.path().string(), "PAVUTO_AUDIO=null", "TERM=xterm"},
                   music.string());
    }

    bool Until(const std::function<bool()>& condition, int timeoutMs = 5000) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            term.Pump();
            if (condition()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            term.Pump(20);
        }
    }
    bool RowHas(int row, const std::string& text) { return term.ScreenText(row).find(text) != std::string::npos; }
    bool WaitRow(int row, const std::string& text) { return Until([&] { return RowHas(row, text); }); }
    bool CursorOn(int row) { return term.CellColours(row, 3) == (TerminalEmulator::Colours{1, 7}); }
    // The list row (5 ... 14) that shows the entry; 0 when none does.
    int RowOf(const std::string& entry) {
        for (int r = 5; r <= 14; ++r)
            if (RowHas(r, "\xE2\x95\x91" + entry + " ")) return r;  // after the box's left line
        return 0;
    }
    // Moves the cursor onto the entry and marks it.
    void Mark(const std::string& entry, int& cursorRow) {
        int to = RowOf(entry);
        ASSERT_GT(to, 0) << entry << "\n" << term.Dump();
        for (int r = cursorRow; r < to; ++r) term.SendKeys(kDown);
        for (int r = cursorRow; r > to; --r) term.SendKeys(kUp);
        ASSERT_TRUE(Until([&] { return CursorOn(to); })) << term.Dump();
        term.SendKeys(kEnter);
        cursorRow = to;
        term.Pump(100);
    }

    // The calls recorded so far, once `count` have come (or after 10 s).
    std::vector<std::string> Calls(size_t count) {
        std::vector<std::string> out;
        Until(
            [&] {
                out.clear();
                for (auto& e : fs::directory_iterator(calls)) {
                    if (e.path().filename().string().rfind("call", 0) != 0) continue;
                    std::ifstream in(e.path(), std::ios::binary);
                    std::stringstream s;
                    s << in.rdbuf();
                    out.push_back(s.str());
                }
                return out.size() >= count;
            },
            10000);
        return out;
    }
    std::string Mapped() {
        std::ifstream maps("/proc/" + std::to_string(term.Pid()) + "/maps");
        std::stringstream s;
        s << maps.rdbuf();
        return s.str();
    }
    void MarkThreeAndRun() {
        ASSERT_TRUE(WaitRow(5, "..")) << term.Dump();
        ASSERT_TRUE(Until([&] { return RowOf("Zwei.mp3") > 0; })) << term.Dump();
        int cursor = 5;
        for (const char* title : {"Zwei.mp3", "Drei.mp3", "Eins.mp3"}) Mark(title, cursor);
        // The marks stand at the end of their rows.
        ASSERT_TRUE(Until([&] {
            return term.ScreenText(RowOf("Eins.mp3")).find("3 ") != std::string::npos &&
                   term.ScreenText(RowOf("Zwei.mp3")).find("1 ") != std::string::npos;
        })) << term.Dump();
        term.SendKeys("a");
    }
    std::string Entries() const {
        return "ok " + (music / "Zwei.mp3").string() + "\nok " + (music / "Drei.mp3").string() + "\nok " +
               (music / "Eins.mp3").string() + "\n";
    }
    // The program's own playlist: drive paths, CR LF, in marking order.
    std::string ProgramsPlaylist() const {
        std::string dir = "D:\\Musik\\";
        return dir + "Zwei.mp3\r\n" + dir + "Drei.mp3\r\n" + dir + "Eins.mp3\r\n";
    }
};

TEST_F(OutsidePrograms, TheDesktopsAssociationPlaysTheMarkedTitlesInMarkingOrder) {
    Configure("");
    Start();
    MarkThreeAndRun();
    auto got = Calls(1);
    ASSERT_EQ(got.size(), 1u) << term.Dump();
    // pavuto-cmd opened the playlist with xdg-open: a copy of it in host form.
    const std::string first = got[0].substr(0, got[0].find('\n'));
    ASSERT_EQ(first.rfind("arg /", 0), 0u) << got[0];
    const fs::path copy = first.substr(4);
    EXPECT_EQ(copy.filename(), "auswahlliste.m3u");
    EXPECT_EQ(copy.parent_path().parent_path(), temp.path() / "tmp");
    EXPECT_EQ(got[0].substr(first.size() + 1), Entries());
    EXPECT_EQ(temp.Read("tmp/auswahlliste.m3u"), ProgramsPlaylist()) << "the program's own file, byte for byte";

    // Browsing on and handing over never mapped the internal player's libraries.
    term.SendKeys(kDown);
    term.Pump(200);
    const std::string maps = Mapped();
    EXPECT_EQ(maps.find("libmpv"), std::string::npos);
    EXPECT_EQ(maps.find("libavcodec"), std::string::npos);
    EXPECT_NE(maps.find("pavuto"), std::string::npos) << "the program's own map was read";
}

TEST_F(OutsidePrograms, AConfiguredPlayerGetsTheMarkedTitlesInMarkingOrder) {
    Configure("D:\\bin\\player");
    Start();
    MarkThreeAndRun();
    auto got = Calls(1);
    ASSERT_EQ(got.size(), 1u) << term.Dump();
    const std::string first = got[0].substr(0, got[0].find('\n'));
    const fs::path copy = first.substr(4);
    EXPECT_EQ(copy.filename(), "auswahlliste.m3u") << got[0];
    EXPECT_EQ(copy.parent_path().parent_path(), temp.path() / "tmp");
    EXPECT_EQ(got[0].substr(first.size() + 1), Entries());
    EXPECT_EQ(temp.Read("tmp/auswahlliste.m3u"), ProgramsPlaylist());
}

TEST_F(OutsidePrograms, AMarkedDocumentOfAListOpensOnTheDesktop) {
    Configure("");
    // A list of documents: its own extension makes the selection a batch file.
    std::string title = "Handbuch", dir = ">Musik<";
    title.resize(29, ' ');
    dir.resize(30, ' ');
    temp.Write("Musik/Dokumente.pavuto", title + dir + "\r\n");
    temp.Write("Musik/Dokumente.config",
               " ----- pavuto configuration ------\r\nZIELDATEI1=Dokumente\r\nConfiguration=Default\r\n"
               "Dateiendung=.pdf\r\nMAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\nD:\\Musik\\\r\n");
    Start();
    ASSERT_TRUE(Until([&] { return RowOf("Dokumente.pavuto") > 0; })) << term.Dump();
    int cursor = 5;
    for (int r = cursor; r < RowOf("Dokumente.pavuto"); ++r) term.SendKeys(kDown);
    ASSERT_TRUE(Until([&] { return CursorOn(RowOf("Dokumente.pavuto")); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(5, "Handbuch")) << term.Dump();
    term.SendKeys(kEnter);  // marks it
    ASSERT_TRUE(Until([&] { return term.ScreenText(5).find("1 ") != std::string::npos; })) << term.Dump();
    term.SendKeys("a");
    auto got = Calls(1);
    ASSERT_EQ(got.size(), 1u) << term.Dump();
    EXPECT_EQ(got[0], "arg " + (music / "Handbuch.pdf").string() + "\n");
}

}  // namespace
