// The real program in a real terminal: the first start in an empty
// directory, the exit question, and the call without a list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/terminal_emulator.hpp"
#include "e2e/terminal_session.hpp"
#include "support/test_host.hpp"

using pavuto::test::TempDir;
using pavuto::test::TerminalEmulator;

namespace {

struct ProgramInTerminal : ::testing::Test, pavuto::test::TerminalSession {
    TempDir temp;
    std::filesystem::path work = temp.path() / "leer";
    TerminalEmulator term{30, 80};

    ProgramInTerminal() : TerminalSession(term) {
        std::filesystem::create_directories(work);
        std::filesystem::create_directories(temp.path() / "home");
        std::filesystem::create_directories(temp.path() / "tmp");
    }
    void Start(const std::vector<std::string>& arguments = {}) {
        std::vector<std::string> argv = {std::string(PAVUTO_BIN_DIR) + "/pavuto"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        term.Start(argv,
                   {"PATH=/usr/bin:/bin", "HOME=" + (temp.path() / "home").string(),
                    "TMPDIR=" + (temp.path() / "tmp").string(), "PAVUTO_AUDIO=null", "TERM=xterm"},
                   work.string());
    }
    // The drive path of the working directory as the program writes it.
    std::string HomeText() const {
        std::string s = "C:" + work.string();
        for (auto& c : s)
            if (c == '/') c = '\\';
        return s;
    }
};

}  // namespace

TEST_F(ProgramInTerminal, FirstStartShowsTheHomeNoticeAndEndsCleanly) {
    Start();
    ASSERT_TRUE(term.WaitForText("Benutze '" + HomeText() + "' als Home", 10000)) << term.Dump();
    ASSERT_TRUE(term.WaitForText("Einrichten des Programms auf Festplatte ist unter Optionen m\xC3\xB6glich.", 2000))
        << term.Dump();
    // The 22 x 70 screen is white on blue from its top-left to its bottom-right cell.
    EXPECT_EQ(term.CellColours(1, 1), (TerminalEmulator::Colours{7, 1}));
    EXPECT_EQ(term.CellColours(22, 70), (TerminalEmulator::Colours{7, 1}));
    EXPECT_NE(term.CellColours(23, 1).background, 1) << "nothing is drawn below the 22 rows";
    EXPECT_NE(term.CellColours(1, 71).background, 1) << "nothing is drawn right of the 70 columns";
    EXPECT_TRUE(term.AlternateScreen());

    term.Pump(4000);  // the notice ends by itself
    LeaveWithEscAndJ();
    EXPECT_FALSE(std::filesystem::exists(work / "pavuto.config")) << "nothing is installed unasked";
}

TEST_F(ProgramInTerminal, AnswerNoKeepsTheProgramRunning) {
    Start();
    ASSERT_TRUE(term.WaitForText("als Home", 10000)) << term.Dump();
    term.SendKeys("x");  // ends the notice early
    term.Pump(300);
    term.SendKeys("\x1b");
    ASSERT_TRUE(term.WaitForText(" Programm beenden ? J/N", 5000)) << term.Dump();
    term.Pump(400);  // the question discards keys typed during its first 200 ms
    term.SendKeys("n");
    EXPECT_FALSE(term.WaitForExit(1000).has_value());
    ASSERT_FALSE(term.WaitForText(" Programm beenden ? J/N", 100)) << "the browser is back";
    term.SendKeys("\x1b");
    ASSERT_TRUE(term.WaitForText(" Programm beenden ? J/N", 5000)) << term.Dump();
    term.Pump(400);
    term.SendKeys("J");
    auto code = term.WaitForExit(5000);
    ASSERT_TRUE(code.has_value()) << term.Dump();
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}

TEST_F(ProgramInTerminal, BlindWithoutListEndsAfterAKey) {
    Start({"/blind"});
    ASSERT_TRUE(term.WaitForText("Aufruf ohne Listenangabe...", 10000)) << term.Dump();
    EXPECT_FALSE(term.WaitForExit(500).has_value()) << "it waits for a key first";
    term.SendKeys(" ");
    auto code = term.WaitForExit(5000);
    ASSERT_TRUE(code.has_value()) << term.Dump();
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}

TEST_F(ProgramInTerminal, ASmallerTerminalStillShowsWhatFits) {
    Start();
    ASSERT_TRUE(term.WaitForText("als Home", 10000)) << term.Dump();
    term.Resize(10, 40);  // smaller than the screen: what fits is still drawn
    term.Pump(300);
    EXPECT_EQ(term.CellColours(10, 40), (TerminalEmulator::Colours{7, 1}));
    EXPECT_EQ(term.ScreenText(1).substr(0, 9), "Benutze '");
    term.Pump(4000);  // the notice ends by itself
    term.SendKeys("\x1b");
    ASSERT_TRUE(term.WaitForText("Programm beenden", 5000)) << term.Dump();
    term.Pump(400);  // the question discards keys typed during its first 200 ms
    term.SendKeys("y");
    ASSERT_TRUE(term.WaitForExit(5000).has_value());
    EXPECT_TRUE(term.TerminalRestored()) << term.RestoreProblems();
}
