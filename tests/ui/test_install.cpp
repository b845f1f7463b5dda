// The installation dialogue: installing in place and into a new directory,
// the files it writes and copies, the shortcut, the restart through the
// start script, and what each failure leaves.
#include "ui/install_dialogue.hpp"

#include <filesystem>

#include "config/default_config.hpp"
#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

struct InstallTest : ListTest {
    InstallTest() {
        auto& s = p.settings;
        s.configurationMissing = 1;
        s.configurationPath = "C:\\home\\pavuto.config";
        h.temp.Write("bin/pavuto", "ELF program");
        h.temp.Write("bin/pavuto-cmd", "ELF interpreter");
        h.temp.Write("bin/shutdown.exe", "ELF shutdown");
        h.temp.Write("bin/pavuto v-info.txt", "Version 3.3");
        std::filesystem::permissions(h.temp.path() / "bin/pavuto", std::filesystem::perms::owner_all);
        h.shell.programFiles = {"C:\\bin\\pavuto", "C:\\bin\\pavuto-cmd", "C:\\bin\\shutdown.exe"};
    }
    void Type(const std::string& text) {
        for (char c : text) h.console.Key(std::string(1, c));
        h.console.Key("\r");
    }
    // Runs the dialogue; true when it ended the program for the restart.
    bool RunInstall(bool* result = nullptr) {
        try {
            bool r = Install(p);
            if (result) *result = r;
        } catch (const ProgramEnd&) {
            return true;
        }
        return false;
    }
    std::string Lines(const std::vector<std::string>& lines) {
        std::string out;
        for (const auto& l : lines) out += l + "\r\n";
        return out;
    }
};

TEST_F(InstallTest, InstallingHereWritesTheScriptsAndTheConfigurationAndStartsAgain) {
    h.console.keepScreens = true;
    h.console.Key("h");
    EXPECT_TRUE(RunInstall());
    EXPECT_EQ(h.temp.Read("home/pavuto.cmd"),
              Lines({"@Echo off", "set pavuto=C:\\home", "C:", "set pavutotmp=C:\\tmp\\", "cd \\home",
                     "pavuto.exe %1 %2 %3 %4"}));
    EXPECT_EQ(h.temp.Read("home/pavutoPfadAnpassen.cmd").substr(0, 11), "@Echo off\r\n");
    EXPECT_EQ(h.temp.Read("home/pavuto.config"), BuiltInConfigurationText());
    // Nothing is copied in place.
    EXPECT_FALSE(h.temp.Exists("home/pavuto"));
    EXPECT_EQ(p.settings.configurationMissing, 0);

    ASSERT_EQ(h.shell.shortcuts.size(), 1u);
    const host::Shortcut& link = h.shell.shortcuts[0];
    EXPECT_EQ(link.name, "Pavuto");
    EXPECT_EQ(link.target, "C:\\home\\pavuto.cmd");
    EXPECT_EQ(link.arguments, "  ");
    EXPECT_EQ(link.workingDirectory, "C:\\home");
    EXPECT_EQ(link.show, host::WindowStyle::Normal);
    EXPECT_EQ(link.description, "aufruf Pavuto");
    EXPECT_TRUE(ScreenHas("Shortcut pavuto.exe.lnk auf Desktop erstellt"));
    EXPECT_TRUE(ScreenHas(" Das Programm startet jetzt neu."));
    EXPECT_EQ(h.processes.afterEnd, (std::vector<std::string>{"\"C:\\home\\pavuto.cmd\""}));
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_NE(h.console.ScreenWith(9, 7, "> (h)ier einrichten."), nullptr);
}

TEST_F(InstallTest, AnotherPathIsCreatedAndGetsTheProgramsFiles) {
    h.console.Key("a");
    Type("C:\\Tools\\Medien\\");
    EXPECT_TRUE(RunInstall());
    EXPECT_EQ(p.settings.homeDrive, "C:");
    EXPECT_EQ(p.settings.homePath, "\\Tools\\Medien");
    EXPECT_EQ(p.settings.configurationPath, "C:\\Tools\\Medien\\pavuto.config");
    EXPECT_EQ(p.files().CurrentDirectory(), "C:\\Tools\\Medien");
    for (const char* name : {"pavuto", "pavuto-cmd", "shutdown.exe", "pavuto v-info.txt"})
        EXPECT_EQ(h.temp.Read(std::string("Tools/Medien/") + name), h.temp.Read(std::string("bin/") + name)) << name;
    // The program stays a program; a document that is not there is skipped.
    if (kPermissionBits) {
        auto perms = std::filesystem::status(h.temp.path() / "Tools/Medien/pavuto").permissions();
        EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    }
    EXPECT_FALSE(h.temp.Exists("Tools/Medien/Pavuto-Anleitung.doc"));
    EXPECT_EQ(h.temp.Read("Tools/Medien/pavuto.cmd").substr(11, 33), "set pavuto=C:\\Tools\\Medien\r\nC:\r\ns");
    EXPECT_EQ(h.processes.afterEnd, (std::vector<std::string>{"\"C:\\Tools\\Medien\\pavuto.cmd\""}));
}

TEST_F(InstallTest, ADriveAloneIsItsRoot) {
    h.console.Key("a");
    Type("C:");
    EXPECT_TRUE(RunInstall());
    EXPECT_EQ(p.settings.homePath, "\\");
    EXPECT_EQ(p.settings.configurationPath, "C:\\pavuto.config");
    EXPECT_TRUE(h.temp.Exists("pavuto.cmd"));
    EXPECT_EQ(h.shell.shortcuts.at(0).target, "C:\\pavuto.cmd");
}

TEST_F(InstallTest, WithoutADesktopThereIsNoRestartAndTheNewHomeStays) {
    h.shell.hasDesktop = false;
    h.console.Key("a");
    Type("neu");
    bool result = false;
    EXPECT_FALSE(RunInstall(&result));
    EXPECT_TRUE(result);
    EXPECT_TRUE(ScreenHas("ertellen von pavuto.exe.link nicht m\xF6glich"));
    EXPECT_TRUE(h.processes.afterEnd.empty());
    EXPECT_EQ(p.settings.homePath, "\\neu");
    EXPECT_EQ(p.settings.configurationMissing, 0);
    EXPECT_TRUE(h.temp.Exists("neu/pavuto.config"));
}

TEST_F(InstallTest, AShortcutThatFailsIsReportedAndTheConfigurationStillWritten) {
    h.shell.failWith = 75;
    h.console.Key("h");
    h.console.Key("x");
    bool result = false;
    EXPECT_FALSE(RunInstall(&result));
    EXPECT_TRUE(result);
    EXPECT_EQ(Row(p.con.ScreenRows - 8, 7, 36), "ertellen von pavuto.exe.lnk nicht m" + OnScreen("\xF6"));
    EXPECT_TRUE(h.temp.Exists("home/pavuto.config"));
    EXPECT_TRUE(h.processes.afterEnd.empty());
}

TEST_F(InstallTest, ADirectoryThatCannotBeMadeIsAskedForAgainAndTheHomeKept) {
    h.console.keepScreens = true;
    h.faults.FailAll(FaultyFileSystem::Op::MakeDirectory, 70, "Gesperrt");
    h.console.Key("a");
    Type("C:\\Gesperrt\\Medien");
    h.console.Key("x");        // the key after the message
    h.console.Key("\x1b");     // and no other path
    bool result = false;
    EXPECT_FALSE(RunInstall(&result));
    EXPECT_TRUE(result);
    EXPECT_NE(h.console.ScreenWith(p.con.ScreenRows - 8, 7, "erstellen von 'C:\\Gesperrt\\Medien' nicht m" + OnScreen("\xF6") + "glich."),
              nullptr);
    EXPECT_EQ(p.settings.homePath, "\\home");
    EXPECT_EQ(p.settings.configurationMissing, 1);
    EXPECT_FALSE(h.temp.Exists("home/pavuto.cmd"));
}

TEST_F(InstallTest, AScriptThatCannotBeWrittenEndsTheInstallation) {
    h.faults.FailAll(FaultyFileSystem::Op::Create, 61, "pavuto.cmd");
    h.console.Key("h");
    bool result = true;
    EXPECT_FALSE(RunInstall(&result));
    EXPECT_FALSE(result);
    EXPECT_TRUE(ScreenHas("Fehler bei Programm Pfadvorgaben"));
    EXPECT_TRUE(ScreenHas("Disk full"));
    EXPECT_EQ(p.settings.configurationMissing, 1);
    EXPECT_FALSE(h.temp.Exists("home/pavuto.config"));
    EXPECT_TRUE(h.shell.shortcuts.empty());
}

TEST_F(InstallTest, AConfigurationThatCannotBeWrittenEndsWithoutRestart) {
    h.faults.FailAll(FaultyFileSystem::Op::Create, 70, "pavuto.config");
    h.console.Key("h");
    h.console.Key("x");
    bool result = false;
    EXPECT_FALSE(RunInstall(&result));
    EXPECT_TRUE(result);
    EXPECT_TRUE(ScreenHas("erstellen von 'C:\\home\\pavuto.config' nicht m\xF6glich."));
    EXPECT_TRUE(h.processes.afterEnd.empty());
    EXPECT_FALSE(h.temp.Exists("home/pavuto.config"));
}

TEST_F(InstallTest, AnyOtherAnswerLeavesEverythingAsItWas) {
    for (auto answer : {std::string("x"), std::string("\x1b")}) {
        h.console.Key(answer);
        bool result = false;
        EXPECT_FALSE(RunInstall(&result));
        EXPECT_TRUE(result);
    }
    h.console.Click(9, 10, 2);
    EXPECT_FALSE(RunInstall());
    // A click on the "here" row installs.
    h.console.Click(9, 10);
    EXPECT_TRUE(RunInstall());
    EXPECT_EQ(h.shell.shortcuts.size(), 1u);
}

}  // namespace
}  // namespace pavuto::test
