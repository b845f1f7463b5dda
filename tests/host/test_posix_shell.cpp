// The desktop on this host: the program's own files, the user's desktop
// folder, the launcher written for a shortcut, and the program started in
// this one's place after an installation.
#include "host/posix/posix_shell.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::posix::DriveMap;
using host::posix::LauncherArgument;
using host::posix::PosixFileSystem;
using host::posix::PosixShell;

struct ShellTest : ::testing::Test {
    TempDir temp;
    PosixFileSystem files{DriveMap{{{'C', "/"}}}};
    std::string root = temp.path().string();

    void Executable(const std::string& relative, const std::string& text = "#!/bin/sh\n") {
        temp.Write(relative, text);
        fs::permissions(temp.path() / relative, fs::perms::owner_all);
    }
    PosixShell Shell(std::vector<std::string> environment) {
        return PosixShell(files, root + "/bin/pavuto", root + "/bin", std::move(environment));
    }
    host::Shortcut Link(const std::string& home) {
        host::Shortcut link;
        link.name = "Pavuto";
        link.target = files.DrivePath(home + "/pavuto.cmd");
        link.arguments = "  ";
        link.workingDirectory = files.DrivePath(home);
        link.description = "aufruf Pavuto";
        return link;
    }
    std::string Key(const std::string& text, const std::string& key) {
        auto at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "<none>";
        at += key.size() + 2;
        return text.substr(at, text.find('\n', at) - at);
    }
};

TEST_F(ShellTest, TheProgramsFilesAreTheRunningProgramAndItsCompanions) {
    Executable("bin/pavuto");
    Executable("bin/pavuto-cmd");
    Executable("bin/shutdown.exe");
    EXPECT_EQ(Shell({}).ProgramFiles(), (std::vector<std::string>{files.DrivePath(root + "/bin/pavuto"),
                                                                  files.DrivePath(root + "/bin/pavuto-cmd"),
                                                                  files.DrivePath(root + "/bin/shutdown.exe")}));
    fs::remove(temp.path() / "bin/shutdown.exe");
    EXPECT_EQ(Shell({}).ProgramFiles().size(), 2u);
}

TEST_F(ShellTest, TheDesktopFolderComesFromTheEnvironmentOrTheHome) {
    temp.Write("Schreibtisch/.keep", "");
    temp.Write("user/Desktop/.keep", "");
    EXPECT_EQ(Shell({"XDG_DESKTOP_DIR=" + root + "/Schreibtisch", "HOME=" + root + "/user"}).DesktopFolder(),
              root + "/Schreibtisch");
    // The folder xdg-user-dir names.
    Executable("tools/xdg-user-dir", "#!/bin/sh\n[ \"$1\" = DESKTOP ] && echo " + root + "/Schreibtisch\n");
    EXPECT_EQ(Shell({"PATH=" + root + "/tools", "HOME=" + root + "/user"}).DesktopFolder(), root + "/Schreibtisch");
    EXPECT_EQ(Shell({"PATH=/nowhere", "HOME=" + root + "/user"}).DesktopFolder(), root + "/user/Desktop");
    // No desktop folder: no shortcut, and nothing written.
    auto none = Shell({"PATH=/nowhere", "HOME=" + root + "/nobody"});
    EXPECT_EQ(none.DesktopFolder(), "");
    EXPECT_EQ(none.CreateShortcut(Link(root + "/heim")), 0);
}

TEST_F(ShellTest, TheLauncherStartsTheScriptThroughTheInterpreterOfItsHome) {
    temp.Write("Desktop/.keep", "");
    Executable("bin/pavuto-cmd");
    temp.Write("heim/pavuto.cmd", "@Echo off\r\n");
    auto shell = Shell({"XDG_DESKTOP_DIR=" + root + "/Desktop"});
    EXPECT_EQ(shell.CreateShortcut(Link(root + "/heim")), 1);
    const fs::path file = temp.path() / "Desktop/Pavuto.desktop";
    ASSERT_TRUE(fs::exists(file));
    const std::string text = temp.Read("Desktop/Pavuto.desktop");
    EXPECT_EQ(text.substr(0, 16), "[Desktop Entry]\n");
    EXPECT_EQ(Key(text, "Type"), "Application");
    EXPECT_EQ(Key(text, "Name"), "Pavuto");
    EXPECT_EQ(Key(text, "Comment"), "aufruf Pavuto");
    EXPECT_EQ(Key(text, "Terminal"), "true");
    EXPECT_EQ(Key(text, "Path"), root + "/heim");
    EXPECT_EQ(Key(text, "Exec"), root + "/bin/pavuto-cmd /C " + root + "/heim/pavuto.cmd");
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_exec, fs::perms::none);

    // A home with an interpreter of its own (the program was copied there).
    Executable("heim/pavuto-cmd");
    EXPECT_EQ(shell.CreateShortcut(Link(root + "/heim")), 1);
    EXPECT_EQ(Key(temp.Read("Desktop/Pavuto.desktop"), "Exec"), root + "/heim/pavuto-cmd /C " + root + "/heim/pavuto.cmd");
    EXPECT_FALSE(fs::exists(temp.path() / "Desktop/Pavuto.desktop.neu"));
}

TEST_F(ShellTest, NamesInTheLauncherAreQuotedAndEscaped) {
    EXPECT_EQ(LauncherArgument("/opt/pavuto/pavuto-cmd"), "/opt/pavuto/pavuto-cmd");
    EXPECT_EQ(LauncherArgument("/home/a b/pavuto.cmd"), "\"/home/a b/pavuto.cmd\"");
    EXPECT_EQ(LauncherArgument("/x/$HOME `id` \"q\""), "\"/x/\\$HOME \\`id\\` \\\"q\\\"\"");
    EXPECT_EQ(LauncherArgument("/x/100%"), "/x/100%%");
    EXPECT_EQ(LauncherArgument("/x/a\\b"), "\"/x/a\\\\b\"");

    // A home with a blank in its name.
    temp.Write("Desktop/.keep", "");
    temp.Write("Mein Heim/pavuto.cmd", "");
    auto shell = Shell({"XDG_DESKTOP_DIR=" + root + "/Desktop"});
    std::string text = shell.LauncherText(Link(root + "/Mein Heim"));
    EXPECT_NE(text.find("/C \"" + root + "/Mein Heim/pavuto.cmd\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nPath=" + root + "/Mein Heim\n"), std::string::npos) << text;
}

TEST_F(ShellTest, ALineEndInANameWritesNoLauncher) {
    temp.Write("Desktop/.keep", "");
    auto shell = Shell({"XDG_DESKTOP_DIR=" + root + "/Desktop"});
    host::Shortcut link = Link(root + "/heim");
    link.description = "aufruf\nExec=/bin/false";
    EXPECT_THROW(shell.CreateShortcut(link), RuntimeError);
    EXPECT_FALSE(fs::exists(temp.path() / "Desktop/Pavuto.desktop"));
}

TEST_F(ShellTest, TheProgramStartedAfterTheEndRunsInThisProcessesPlace) {
    Executable("bin/pavuto-cmd");  // so that the host finds its interpreter
    Executable("nachfolger.sh", "#!/bin/sh\necho \"$PWD $1\" > " + root + "/lief\n");
    host::posix::PosixProcesses processes(files, nullptr, root + "/bin");
    processes.SetEnvironment({"PATH=/usr/bin:/bin"});
    files.ChangeDirectory(files.DrivePath(root));
    processes.StartAfterEnd("\"" + files.DrivePath(root + "/nachfolger.sh") + "\" eins");
    host::posix::PosixProcesses::Successor successor;
    ASSERT_TRUE(processes.TakeSuccessor(successor));
    EXPECT_FALSE(processes.TakeSuccessor(successor));
    pid_t child = fork();
    if (child == 0) _exit(host::posix::RunInPlace(successor) + 100);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(temp.Read("lief"), root + " eins\n");

    EXPECT_THROW(processes.StartAfterEnd("\"" + files.DrivePath(root + "/fehlt.sh") + "\""), RuntimeError);
    EXPECT_FALSE(processes.TakeSuccessor(successor));
}

}  // namespace
}  // namespace pavuto::test
