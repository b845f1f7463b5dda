// The terminal emulator of the end-to-end tests, proved on small shell
// programs: what they draw, what they are sent, how they leave the terminal.
#include "e2e/terminal_emulator.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using pavuto::test::TerminalEmulator;

namespace {

const std::vector<std::string> kEnvironment = {"PATH=/usr/bin:/bin", "LANG=C.UTF-8"};

std::vector<std::string> Shell(const std::string& script) { return {"/bin/sh", "-c", script}; }

}  // namespace

TEST(TerminalEmulator, ShowsTextColoursAndCursorOfTheProgram) {
    TerminalEmulator term(10, 40);
    term.Start(Shell("printf '\\033[2J\\033[3;5H\\033[37;44mHallo\\033[0m \\342\\225\\224\\342\\225\\220\\342\\225\\227'; "
                     "printf '\\033[10;40H\\033[91;100mZ\\033[0m'; exit 7"),
               kEnvironment);
    ASSERT_TRUE(term.WaitForText("Hallo", 5000)) << term.Dump();
    EXPECT_EQ(term.WaitForExit(5000), 7);
    EXPECT_EQ(term.ScreenText(3).rfind("    Hallo \u2554\u2550\u2557   ", 0), 0u) << term.Dump();
    EXPECT_EQ(term.ScreenText(10).back(), 'Z');
    EXPECT_EQ(term.CellColours(3, 5), (TerminalEmulator::Colours{7, 1}));  // named as the console names them
    EXPECT_EQ(term.CellColours(3, 10), (TerminalEmulator::Colours{-1, -1}));
    EXPECT_EQ(term.CellColours(10, 40), (TerminalEmulator::Colours{12, 8}));
    EXPECT_EQ(term.CursorState().row, 10);
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}

TEST(TerminalEmulator, ProgramGetsEnvironmentAndWorkingDirectory) {
    TerminalEmulator term(5, 60);
    std::vector<std::string> env = kEnvironment;
    env.push_back("PAVUTO_PROBE=eins zwei");
    term.Start(Shell("printf '%s|%s|%s' \"$PWD\" \"$PAVUTO_PROBE\" \"$TERM\""), env, "/tmp");
    EXPECT_EQ(term.WaitForExit(5000), 0);
    EXPECT_EQ(term.ScreenText(1).rfind("/tmp|eins zwei|xterm ", 0), 0u) << term.Dump();
}

TEST(TerminalEmulator, KeysAndClicksReachTheProgramByteForByte) {
    TerminalEmulator term(10, 80);
    term.Start(Shell("s=$(stty -g); stty raw -echo; printf bereit; "
                     "x=$(head -c 22 | od -An -tx1 | tr -d ' \\n'); stty \"$s\"; printf '\\ngot:%s\\n' \"$x\""),
               kEnvironment);
    ASSERT_TRUE(term.WaitForText("bereit", 5000)) << term.Dump();
    term.SendKeys("ab");
    term.SendClick(3, 5);  // row 3, column 5: "\x1b[<0;5;3M" and "...m"
    term.SendKeys("\r\x03");
    ASSERT_TRUE(term.WaitForText("got:", 5000)) << term.Dump();
    EXPECT_EQ(term.WaitForExit(5000), 0);
    EXPECT_TRUE(term.WaitForText("got:61621b5b3c303b353b334d1b5b3c303b353b336d0d03", 1000)) << term.Dump();
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}

TEST(TerminalEmulator, TerminalLeftInDisorderIsReported) {
    TerminalEmulator term(10, 40);
    term.Start(Shell("stty raw -echo; printf '\\033[?1049h\\033[?1000h\\033[?25l\\033[44m'; exit 0"), kEnvironment);
    EXPECT_EQ(term.WaitForExit(5000), 0);
    EXPECT_TRUE(term.AlternateScreen());
    EXPECT_TRUE(term.MouseReporting());
    std::string problems = term.RestoreProblems();
    EXPECT_NE(problems.find("terminal modes"), std::string::npos) << problems;
    EXPECT_NE(problems.find("ICANON"), std::string::npos) << problems;
    EXPECT_NE(problems.find("alternate screen"), std::string::npos) << problems;
    EXPECT_NE(problems.find("mouse"), std::string::npos) << problems;
    EXPECT_NE(problems.find("cursor hidden"), std::string::npos) << problems;
    EXPECT_NE(problems.find("colours"), std::string::npos) << problems;
}

TEST(TerminalEmulator, ResizeReachesTheProgramAsItsTerminal) {
    TerminalEmulator term(10, 40);
    term.Start(Shell("trap 'stty size; exit 0' WINCH; printf bereit; while :; do sleep 0.05; done"), kEnvironment);
    ASSERT_TRUE(term.WaitForText("bereit", 5000)) << term.Dump();
    term.Resize(12, 50);
    EXPECT_TRUE(term.WaitForText("12 50", 5000)) << term.Dump();
    EXPECT_EQ(term.WaitForExit(5000), 0);
}

TEST(TerminalEmulator, ExitBySignalTimeoutsAndStartFailures) {
    {
        TerminalEmulator term(5, 20);
        term.Start(Shell("kill -TERM $$"), kEnvironment);
        EXPECT_EQ(term.WaitForExit(5000), 128 + 15);
    }
    {
        TerminalEmulator term(5, 20);
        term.Start(Shell("sleep 30"), kEnvironment);
        EXPECT_FALSE(term.WaitForExit(100).has_value());
        EXPECT_TRUE(term.Running());
        // The destructor ends it.
    }
    TerminalEmulator term(5, 20);
    EXPECT_THROW(term.Start({"/nonexistent/program"}, kEnvironment), std::runtime_error);
    EXPECT_THROW(term.Start(Shell("true"), kEnvironment, "/nonexistent/directory"), std::runtime_error);
}
