// The POSIX console in a real terminal emulator. The test program starts
// itself a second time as a small probe program (PAVUTO_CONSOLE_PROBE=1)
// that draws a screen, reports every event it reads and ends on "q".
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/codepage.hpp"
#include "e2e/terminal_emulator.hpp"
#include "host/posix/posix_console.hpp"

using pavuto::host::InputEvent;
using pavuto::host::posix::PosixConsole;
using pavuto::test::TerminalEmulator;

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// The probe: a 10 x 30 screen, 7 on 1, a frame line at the top, the last
// cell of the last row written, then one line per event on row 5.
void RunProbe() {
    PosixConsole console;
    console.SetSize(10, 30);
    console.SetColours(7, 1);
    console.Clear();
    console.Write("\xC9" + std::string(28, '\xCD') + "\xBB");
    console.Locate(10, 30);
    console.Write("X");
    console.Locate(3, 3);
    console.Write("bereit");
    int count = 0;
    while (true) {
        console.AwaitInput(80);
        InputEvent e;
        if (!console.ReadEvent(e)) continue;
        std::string line = std::to_string(++count) + " ";
        if (e.kind == InputEvent::Kind::Key) {
            line += "key " + Hex(e.key);
        } else {
            line += "mouse b" + std::to_string(e.button) + " c" + std::to_string(e.click) + " r" +
                    std::to_string(e.row) + " k" + std::to_string(e.column);
        }
        console.Locate(5, 1);
        console.Write(line + std::string(30 - line.size(), ' '));
        if (e.key == "q") return;
        if (e.key == "k") std::raise(SIGTERM);
    }
}

std::vector<std::string> ProbeEnvironment() {
    return {"PATH=/usr/bin:/bin", "LANG=C.UTF-8", "PAVUTO_CONSOLE_PROBE=1", "PAVUTO_DOUBLECLICK_MS=500"};
}

void StartProbe(TerminalEmulator& term) {
    term.Start({"/proc/self/exe", "--gtest_filter=ConsoleProbe.Run"}, ProbeEnvironment());
}

}  // namespace

TEST(ConsoleProbe, Run) {
    if (std::getenv("PAVUTO_CONSOLE_PROBE") == nullptr) GTEST_SKIP() << "only as the probe program";
    RunProbe();
}

TEST(ConsoleInTerminal, ScreenKeysClicksAndTheTerminalGivenBack) {
    TerminalEmulator term(12, 40);
    StartProbe(term);
    ASSERT_TRUE(term.WaitForText("bereit", 10000)) << term.Dump();
    EXPECT_TRUE(term.AlternateScreen());
    EXPECT_TRUE(term.MouseReporting());
    // The frame line stays on row 1: writing the last cell did not scroll.
    EXPECT_EQ(term.ScreenText(1).rfind("\u2554" + [] {
        std::string s;
        for (int i = 0; i < 28; ++i) s += "\u2550";
        return s;
    }() + "\u2557          ", 0), 0u) << term.Dump();
    EXPECT_EQ(term.ScreenText(10).substr(29, 1), "X");
    EXPECT_EQ(term.CellColours(1, 1), (TerminalEmulator::Colours{7, 1}));
    EXPECT_EQ(term.CellColours(10, 30), (TerminalEmulator::Colours{7, 1}));
    EXPECT_EQ(term.CellColours(1, 31), (TerminalEmulator::Colours{-1, -1}));  // beyond the screen
    EXPECT_EQ(term.CellColours(11, 1), (TerminalEmulator::Colours{-1, -1}));

    term.SendKeys("\x1b");
    EXPECT_TRUE(term.WaitForText("1 key 1b ", 5000)) << term.Dump();
    term.SendKeys("\x1b[B");
    EXPECT_TRUE(term.WaitForText("2 key 0050 ", 5000)) << term.Dump();
    term.SendKeys("\xC3\xA4");
    EXPECT_TRUE(term.WaitForText("3 key e4 ", 5000)) << term.Dump();
    term.SendClick(4, 7);
    EXPECT_TRUE(term.WaitForText("4 mouse b1 c1 r3 k7 ", 5000)) << term.Dump();
    term.SendClick(4, 7);  // within the double-click time
    EXPECT_TRUE(term.WaitForText("5 mouse b1 c2 r3 k7 ", 5000)) << term.Dump();
    term.SendKeys("\x03");  // Ctrl+C is a key
    EXPECT_TRUE(term.WaitForText("6 key 03 ", 5000)) << term.Dump();

    term.SendKeys("q");
    EXPECT_EQ(term.WaitForExit(10000), 0);
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}

TEST(ConsoleInTerminal, SmallTerminalAndEndBySignal) {
    TerminalEmulator term(6, 20);
    StartProbe(term);
    ASSERT_TRUE(term.WaitForText("bereit", 10000)) << term.Dump();
    std::string top = "\u2554";
    for (int i = 0; i < 19; ++i) top += "\u2550";
    EXPECT_EQ(term.ScreenText(1), top) << term.Dump();  // cut at the edge, nothing wrapped
    EXPECT_EQ(term.ScreenText(2), std::string(20, ' ')) << term.Dump();
    EXPECT_EQ(term.CellColours(6, 20), (TerminalEmulator::Colours{7, 1}));

    term.Resize(12, 40);  // the terminal grows: the whole screen appears
    EXPECT_TRUE(term.WaitForText("\u2557", 5000)) << term.Dump();
    EXPECT_EQ(term.ScreenText(10).substr(29, 1), "X");
    term.SendKeys("k");
    EXPECT_EQ(term.WaitForExit(10000), 128 + SIGTERM);
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}
