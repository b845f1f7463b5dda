// The program as `cmake --install` lays it out, staged below the build folder
// by the test install_stage (PAVUTO_STAGE_DIR): the files in their folders,
// and the staged pavuto in a real terminal, where it shows its first screen,
// opens a file through its own command interpreter in the package's library
// folder and ends cleanly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/terminal_emulator.hpp"
#include "e2e/terminal_session.hpp"
#include "support/test_host.hpp"

using pavuto::test::TempDir;
using pavuto::test::TerminalEmulator;

namespace {

namespace fs = std::filesystem;

const fs::path kStage = PAVUTO_STAGE_DIR;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(InstalledTree, HoldsTheProgramItsCompanionsTheLauncherAndTheReadme) {
    ASSERT_TRUE(fs::is_directory(kStage)) << kStage << ": laid out by the test install_stage (run through ctest)";
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(kStage))
        if (!e.is_directory()) files.push_back(fs::relative(e.path(), kStage).string());
    std::sort(files.begin(), files.end());
    // Nothing else: no test, benchmark or fuzz program, no shutdown.exe on the path.
    EXPECT_EQ(files, (std::vector<std::string>{"bin/pavuto", "lib/pavuto/pavuto-cmd", "lib/pavuto/shutdown.exe",
                                               "share/applications/pavuto.desktop", "share/doc/pavuto/README.md"}));
    for (const char* program : {"bin/pavuto", "lib/pavuto/pavuto-cmd", "lib/pavuto/shutdown.exe"})
        EXPECT_EQ(access((kStage / program).c_str(), X_OK), 0) << program;

    std::string launcher = Read(kStage / "share/applications/pavuto.desktop");
    EXPECT_EQ(launcher.rfind("[Desktop Entry]\n", 0), 0u) << launcher;
    for (const char* line : {"\nType=Application\n", "\nName=Pavuto\n", "\nExec=pavuto\n", "\nTerminal=true\n",
                             "\nCategories=AudioVideo;Audio;Player;\n"})
        EXPECT_NE(launcher.find(line), std::string::npos) << line << " in\n" << launcher;
    EXPECT_EQ(Read(kStage / "share/doc/pavuto/README.md"), Read(fs::path(PAVUTO_SOURCE_DIR) / "README.md"));
}

// Drive D: is a temporary folder holding one song; the program starts there.
// A stand-in for xdg-open on PATH records what the command interpreter opens.
struct InstalledProgram : ::testing::Test, pavuto::test::TerminalSession {
    TempDir temp;
    TerminalEmulator term{30, 80};
    InstalledProgram() : TerminalSession(term) {}

};

TEST_F(InstalledProgram, StartsInATerminalAndOpensAFileThroughItsOwnCommandInterpreter) {
    for (const char* d : {"Musik", "home", "tmp", "bin"}) fs::create_directories(temp.path() / d);
    temp.Write("Musik/Lied.mp3", "x");
    const fs::path opened = temp.path() / "opened";
    temp.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + opened.string() + ".neu && mv " +
                                   opened.string() + ".neu " + opened.string() + "\n");
    fs::permissions(temp.path() / "bin/xdg-open", fs::perms::owner_all);

    term.Start({(kStage / "bin/pavuto").string()},
               {"PATH=" + (temp.path() / "bin").string() + ":/usr/bin:/bin",
                "HOME=" + (temp.path() / "home").string(), "TMPDIR=" + (temp.path() / "tmp").string(),
                "PAVUTO_DRIVES=D=" + temp.path().string(), "PAVUTO_AUDIO=null", "TERM=xterm"},
               (temp.path() / "Musik").string());
    ASSERT_TRUE(term.WaitForText("Benutze 'D:\\Musik' als Home", 10000)) << term.Dump();
    term.SendKeys("x");  // ends the notice
    ASSERT_TRUE(Until([&] { return RowHas(2, "D:\\Musik\\") && RowHas(6, "Lied.mp3"); })) << term.Dump();
    EXPECT_TRUE(RowHas(19, "(O)ptionen"));

    // Marked and run: the selection goes to COMSPEC, which is the staged
    // lib/pavuto/pavuto-cmd; it hands the playlist to xdg-open.
    term.SendKeys("\x1b[B");
    ASSERT_TRUE(Until([&] { return CursorOn(6); })) << term.Dump();
    term.SendKeys("\r");
    ASSERT_TRUE(Until([&] { return RowHas(21, "(a)usf\xC3\xBChren"); })) << term.Dump();
    term.SendKeys("a");
    ASSERT_TRUE(Until([&] { return fs::exists(opened); }, 10000)) << term.Dump();
    // The opener gets the playlist's copy in host form; the program's own stays as written.
    std::string copy = Read(opened);
    ASSERT_FALSE(copy.empty());
    copy.pop_back();
    EXPECT_EQ(fs::path(copy).filename(), "auswahlliste.m3u");
    EXPECT_EQ(Read(copy), (temp.path() / "Musik/Lied.mp3").string() + "\n");
    EXPECT_EQ(Read(temp.path() / "tmp/auswahlliste.m3u"), "D:\\Musik\\Lied.mp3\r\n");

    LeaveWithEscAndJ();
}

}  // namespace
