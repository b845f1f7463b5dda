// Installing the real program from its options menu into another folder:
// the files it leaves there and on the desktop, and the program starting
// again in the same terminal from its new home.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "e2e/terminal_emulator.hpp"
#include "e2e/terminal_session.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;

struct InstallInTerminal : ::testing::Test, TerminalSession {
    TempDir temp;
    TerminalEmulator term{30, 80};
    InstallInTerminal() : TerminalSession(term) {}
};

TEST_F(InstallInTerminal, InstallsIntoANewFolderAndStartsAgainFromThere) {
    for (const char* d : {"start", "userhome", "Desktop", "tmp"}) fs::create_directories(temp.path() / d);
    const std::string root = temp.path().string();
    term.Start({std::string(PAVUTO_BIN_DIR) + "/pavuto"},
               {"PATH=/usr/bin:/bin", "HOME=" + root + "/userhome", "XDG_DESKTOP_DIR=" + root + "/Desktop",
                "TMPDIR=" + root + "/tmp", "PAVUTO_DRIVES=D=" + root, "PAVUTO_AUDIO=null", "TERM=xterm"},
               root + "/start");
    // No pavuto.config: the home is named, and the options menu offers the installation.
    ASSERT_TRUE(term.WaitForText("als Home", 10000)) << term.Dump();
    term.SendKeys("x");
    ASSERT_TRUE(WaitRow(19, "(O)ptionen")) << term.Dump();
    term.SendKeys("o");
    ASSERT_TRUE(WaitRow(14, " Dieses Programm auf der Festplatte einrichten.")) << term.Dump();
    term.SendClick(14, 20);
    ASSERT_TRUE(WaitRow(11, "> (a)nderen Pfad eingeben :")) << term.Dump();
    term.SendKeys("a");
    ASSERT_TRUE(Until([&] { return Cells(11, 36, 1) == "_"; })) << term.Dump();
    term.SendKeys("D:\\Neu\\Heim\r");

    ASSERT_TRUE(term.WaitForText("Shortcut pavuto.exe.lnk auf Desktop erstellt", 10000)) << term.Dump();
    ASSERT_TRUE(term.WaitForText(" Das Programm startet jetzt neu.", 5000)) << term.Dump();
    const fs::path home = temp.path() / "Neu" / "Heim";
    for (const char* name : {"pavuto", "pavuto-cmd", "shutdown.exe", "pavuto.cmd", "pavutoPfadAnpassen.cmd",
                             "pavuto.config"})
        EXPECT_TRUE(fs::exists(home / name)) << name;
    EXPECT_NE(fs::status(home / "pavuto").permissions() & fs::perms::owner_exec, fs::perms::none);
    const std::string launcher = temp.Read("Desktop/Pavuto.desktop");
    EXPECT_NE(launcher.find("\nExec=" + (home / "pavuto-cmd").string() + " /C " + (home / "pavuto.cmd").string() + "\n"),
              std::string::npos)
        << launcher;

    // The program comes back through pavuto.cmd: its home is now the new folder.
    ASSERT_TRUE(Until([&] { return RowHas(2, "D:\\Neu\\Heim") && RowHas(19, "(O)ptionen"); }, 10000)) << term.Dump();
    term.SendKeys("o");
    ASSERT_TRUE(WaitRow(2, "Seite  1")) << term.Dump();
    for (int page = 2; page <= 8; ++page) {
        term.SendClick(3, 40);
        ASSERT_TRUE(WaitRow(2, "Seite  " + std::to_string(page))) << term.Dump();
    }
    EXPECT_TRUE(WaitRow(9, "D:\\Neu\\Heim")) << term.Dump();
    // No installation is offered any more.
    term.SendClick(3, 40);
    ASSERT_TRUE(WaitRow(2, "Seite  1")) << term.Dump();
    EXPECT_FALSE(RowHas(14, "einrichten")) << term.Dump();
    term.SendKeys("o");
    ASSERT_TRUE(Until([&] { return !RowHas(2, "Seite"); })) << term.Dump();
    LeaveWithEscAndJ();
}

}  // namespace
}  // namespace pavuto::test
