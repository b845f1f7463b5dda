// The browser of the real program in a real terminal: walking directories by
// keys and clicks, a list of a few hundred records paged, marked, searched and
// jumped through, the help pages, and the way out.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "e2e/terminal_emulator.hpp"
#include "e2e/terminal_session.hpp"
#include "support/test_host.hpp"

using pavuto::test::TempDir;
using pavuto::test::TerminalEmulator;

namespace {

const std::string kDown = "\x1b[B", kUp = "\x1b[A", kPgDn = "\x1b[6~", kEnter = "\r", kEsc = "\x1b";

std::string Three(int i) {
    std::string s = std::to_string(i);
    return std::string(3 - s.size(), '0') + s;
}

// One list record: title field of 29, directory field of 30, CR LF.
std::string Record(const std::string& title, const std::string& directory) {
    std::string t = title, d = ">" + directory + "<";
    t.resize(29, ' ');
    d.resize(30, ' ');
    return t + d + "\r\n";
}

struct BrowserInTerminal : ::testing::Test, pavuto::test::TerminalSession {
    TempDir temp;
    TerminalEmulator term{30, 80};
    BrowserInTerminal() : TerminalSession(term) {}

    void Write(const std::string& relative, const std::string& bytes) { temp.Write(relative, bytes); }

    // Drive D: is the temporary directory, and the program starts there;
    // C: stays the machine's root, where the program finds its own tools.
    void Start(const std::string& directory, std::vector<std::string> command = {}) {
        std::filesystem::create_directories(temp.path() / "tmp");
        std::filesystem::create_directories(temp.path() / "userhome");
        command.push_back(std::string(PAVUTO_BIN_DIR) + "/pavuto");
        term.Start(command,
                   {"PATH=/usr/bin:/bin", "HOME=" + (temp.path() / "userhome").string(),
                    "TMPDIR=" + (temp.path() / "tmp").string(), "PAVUTO_DRIVES=D=" + temp.path().string(),
                    "PAVUTO_AUDIO=null", "TERM=xterm"},
                   (temp.path() / directory).string());
        // Without a configuration file the program names its home first; a
        // key ends the notice.
        ASSERT_TRUE(term.WaitForText("als Home", 10000)) << term.Dump();
        term.SendKeys("x");
    }

};

TEST_F(BrowserInTerminal, WalksDirectoriesWithKeysAndClicks) {
    Write("Musik/Rock/a.mp3", "x");
    Write("Musik/Pop/b.mp3", "x");
    Write("Musik/c.mp3", "x");
    Write("Musik/notes.txt", "x");
    Start("Musik");

    ASSERT_TRUE(WaitRow(2, "D:\\Musik\\")) << term.Dump();
    ASSERT_TRUE(WaitRow(8, "c.mp3")) << term.Dump();
    EXPECT_TRUE(RowHas(5, ".."));
    EXPECT_TRUE(RowHas(6, "<DIR> Pop"));
    EXPECT_TRUE(RowHas(7, "<DIR> Rock"));
    EXPECT_FALSE(RowHas(9, "notes.txt"));
    EXPECT_TRUE(RowHas(4, "\xE2\x95\x94\xE2\x95\x90"));  // the list box: ╔═
    EXPECT_TRUE(RowHas(19, "(O)ptionen"));
    EXPECT_TRUE(CursorOn(5));

    // Keys: into Rock.
    term.SendKeys(kDown);
    term.SendKeys(kDown);
    ASSERT_TRUE(Until([&] { return CursorOn(7); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(2, "D:\\Musik\\Rock\\")) << term.Dump();
    ASSERT_TRUE(WaitRow(6, "a.mp3")) << term.Dump();

    // A double click on "..": back, with the cursor on the third line.
    DoubleClick(5, 10);
    ASSERT_TRUE(Until([&] { return RowHas(2, "D:\\Musik\\") && !RowHas(2, "Rock"); })) << term.Dump();
    ASSERT_TRUE(Until([&] { return CursorOn(7); })) << term.Dump();

    // A click on a line moves the cursor; Enter goes in.
    term.SendClick(6, 20);
    ASSERT_TRUE(Until([&] { return CursorOn(6); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(2, "D:\\Musik\\Pop\\")) << term.Dump();
    ASSERT_TRUE(WaitRow(6, "b.mp3")) << term.Dump();

    // "\" goes to the root: the drives are listed.
    term.SendKeys("\\");
    ASSERT_TRUE(Until([&] { return term.Dump().find("\xC2\xBB D:") != std::string::npos; })) << term.Dump();

    LeaveWithEscAndJ();
}

TEST_F(BrowserInTerminal, PagesMarksSearchesAndJumpsThroughAList) {
    std::string records;
    for (int i = 1; i <= 300; ++i) records += Record("Titel " + Three(i), "Musik\\Rock");
    Write("home/Rock.pavuto", records);
    Write("home/Rock.config",
          " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\nDateiendung=.mp3\r\n"
          "MAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\nD:\\Musik\\Rock\\\r\n");
    Write("Musik/Rock/Titel 001.mp3", "x");
    Start("home");

    ASSERT_TRUE(WaitRow(6, "Rock.pavuto")) << term.Dump();
    term.SendKeys(kDown);
    ASSERT_TRUE(Until([&] { return CursorOn(6); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(5, "Titel 001")) << term.Dump();
    EXPECT_TRUE(RowHas(2, "Rock"));
    EXPECT_TRUE(RowHas(14, "Titel 010"));
    EXPECT_TRUE(RowHas(19, "(D)atei schlie\xC3\x9F"));
    EXPECT_TRUE(RowHas(19, "Gehe zu a-(z)"));

    // Paging.
    term.SendKeys(kPgDn);
    ASSERT_TRUE(WaitRow(5, "Titel 010")) << term.Dump();
    term.SendKeys(kPgDn);
    ASSERT_TRUE(WaitRow(5, "Titel 019")) << term.Dump();

    // Marks 1 and 2.
    term.SendKeys(kEnter);
    ASSERT_TRUE(Until([&] { return Cells(5, 64, 5) == "1    "; })) << term.Dump();
    term.SendKeys(kDown);
    term.SendKeys(kEnter);
    ASSERT_TRUE(Until([&] { return Cells(6, 64, 5) == "2    "; })) << term.Dump();
    EXPECT_TRUE(RowHas(21, "(a)usf\xC3\xBChren"));
    EXPECT_EQ(term.CellColours(5, 3), (TerminalEmulator::Colours{7, 8}));
    EXPECT_EQ(term.CellColours(6, 3), (TerminalEmulator::Colours{1, 8}));

    // A click on the side frame jumps into the list: (10 - 5) * INT(291 / 9) + 1.
    term.SendClick(10, 2);
    ASSERT_TRUE(WaitRow(5, "Titel 161")) << term.Dump();

    // Search.
    term.SendKeys("s");
    ASSERT_TRUE(WaitRow(19, " suchen nach :")) << term.Dump();
    term.SendKeys("titel 250");
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(21, "weiter suchen")) << term.Dump();
    EXPECT_TRUE(RowHas(8, "Titel 250"));
    EXPECT_TRUE(CursorOn(8));
    term.SendKeys(kDown);  // ends the offer
    ASSERT_TRUE(WaitRow(21, "(s)uchen nach")) << term.Dump();

    // Jump: TITEL 12 shows Titel 120 on the third line; Backspace goes back to Titel 100.
    term.SendKeys("z");
    ASSERT_TRUE(WaitRow(19, "beginn mit :")) << term.Dump();
    EXPECT_TRUE(RowHas(21, "<Bksp> <Spc> 0123456789 A B C"));
    for (char c : std::string("TITEL 12")) {
        term.SendKeys(std::string(1, c));
        term.Pump(30);
    }
    ASSERT_TRUE(WaitRow(7, "Titel 120")) << term.Dump();
    EXPECT_TRUE(RowHas(19, "TITEL 12_"));
    term.SendKeys("\x7f");  // Backspace
    ASSERT_TRUE(WaitRow(7, "Titel 100")) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(19, "Gehe zu a-(z)")) << term.Dump();
    EXPECT_TRUE(CursorOn(7));

    // The help pages at 20 x 80, seven of them, then the list again.
    term.SendKeys("?");
    ASSERT_TRUE(WaitRow(2, "Pavuto 3.3")) << term.Dump();
    EXPECT_TRUE(RowHas(10, "auf die Zeichen \xE2\x96\xB2\xE2\x96\xBC."));
    for (int page = 2; page <= 7; ++page) {
        term.SendKeys(" ");
        term.Pump(150);
    }
    ASSERT_TRUE(WaitRow(9, "weggelassen.")) << term.Dump();
    term.SendKeys(" ");
    ASSERT_TRUE(WaitRow(7, "Titel 100")) << term.Dump();
    EXPECT_TRUE(RowHas(5, "Titel 098"));

    // Closing the list.
    term.SendKeys("d");
    ASSERT_TRUE(WaitRow(6, "Rock.pavuto")) << term.Dump();

    LeaveWithEscAndJ();
}

}  // namespace

// The options menu of the real program: "o" enlarges the window to its
// pages, a page is turned and turned back, all titles are marked in list
// order, and the browser shows the marks.
TEST_F(BrowserInTerminal, TheOptionsMenuMarksEveryTitleForTheBrowser) {
    std::string records;
    for (int i = 1; i <= 40; ++i) records += Record("Titel " + Three(i), "Musik\\Rock");
    Write("home/Rock.pavuto", records);
    Write("home/Rock.config",
          " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\nDateiendung=.mp3\r\n"
          "MAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\nD:\\Musik\\Rock\\\r\n");
    Start("home");
    ASSERT_TRUE(WaitRow(6, "Rock.pavuto")) << term.Dump();
    term.SendKeys(kDown);
    ASSERT_TRUE(Until([&] { return CursorOn(6); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(WaitRow(5, "Titel 001")) << term.Dump();

    term.SendKeys("o");
    ASSERT_TRUE(WaitRow(2, "Seite  1")) << term.Dump();
    EXPECT_TRUE(WaitRow(10, "25 Titel zuf\xC3\xA4llig ausw\xC3\xA4hlen")) << term.Dump();
    EXPECT_TRUE(WaitRow(22, "(O)ptionen Men\xC3\xBC verlassen.")) << term.Dump();
    term.SendClick(3, 40);
    ASSERT_TRUE(WaitRow(2, "Seite  2")) << term.Dump();
    EXPECT_TRUE(WaitRow(7, "aktuelle Einstellungen speichern")) << term.Dump();
    term.SendClick(17, 10);
    ASSERT_TRUE(WaitRow(2, "Seite  1")) << term.Dump();
    term.SendClick(4, 20);

    ASSERT_TRUE(WaitRow(5, "Titel 001")) << term.Dump();
    ASSERT_TRUE(Until([&] { return Cells(5, 64, 2) == "1 " && Cells(6, 64, 2) == "2 "; })) << term.Dump();
    EXPECT_TRUE(WaitRow(21, "(a)usf\xC3\xBChren")) << term.Dump();
    LeaveWithEscAndJ();
}

// Run as an unprivileged user, where file rights apply: a list that cannot
// be read is tried, reported until a key, and the directory is shown again.
TEST_F(BrowserInTerminal, AListWithoutReadRightsEndsInTheDirectoryView) {
    Write("home/Rock.pavuto", Record("Titel 001", "Musik\\Rock"));
    Write("home/Rock.config",
          " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\nDateiendung=.mp3\r\n"
          "MAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\nD:\\Musik\\Rock\\\r\n");
    std::filesystem::create_directories(temp.path() / "tmp");
    std::filesystem::create_directories(temp.path() / "userhome");
    namespace fs = std::filesystem;
    for (const char* d : {"", "home", "tmp", "userhome"})
        fs::permissions(temp.path() / d, fs::perms::all, fs::perm_options::replace);
    fs::permissions(temp.path() / "home/Rock.pavuto", fs::perms::none, fs::perm_options::replace);
    Start("home", {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});

    ASSERT_TRUE(WaitRow(6, "Rock.pavuto")) << term.Dump();
    term.SendKeys(kDown);
    ASSERT_TRUE(Until([&] { return CursorOn(6); })) << term.Dump();
    term.SendKeys(kEnter);
    ASSERT_TRUE(term.WaitForText("Permission denied<< zur Zeit kein Zugriff..", 10000)) << term.Dump();
    term.SendKeys(" ");
    ASSERT_TRUE(WaitRow(2, "D:\\home\\")) << term.Dump();
    ASSERT_TRUE(WaitRow(6, "Rock.pavuto")) << term.Dump();
    EXPECT_FALSE(RowHas(5, "Titel 001"));
    LeaveWithEscAndJ();
}
